-- Numbers reach database columns exactly: whole numbers of up to 64 bits from their digits,
-- decimals into numeric and decimal columns, doubles only where they give the number back
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@/ziel.db', 'MS Access', 'z', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2), ('T', 'c', 3), ('T', 'd', 4), ('T', 'e', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, sort) values
  ('T', 'A', 'Zahl', 'a', 0, 0, 1),
  ('T', 'B', 'Zahl', 'b', 0, 2, 2),
  ('T', 'C', 'Zahl', 'c', 0, 2, 3),
  ('T', 'D', 'Zahl', 'd', 0, 0, 4),
  ('T', 'E', 'Zahl', 'e', 0, 0, 5);
attach database '@DIR@/ziel.db' as ziel;
create table ziel.z (a integer, b numeric(18,2), c decimal(12,2), d bigint, e real);
detach database ziel;
