-- A number that the column would keep otherwise (SQLite keeps a fraction as a double) stops
-- the run, quoting it as it was written; the records before it stay in the table
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@/ziel.db', 'MS Access', 'z', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, sort) values
  ('T', 'A', 'Zahl', 'a', 0, 0, 1),
  ('T', 'B', 'Zahl', 'b', 0, 2, 2);
attach database '@DIR@/ziel.db' as ziel;
create table ziel.z (a bigint, b numeric(18,2));
detach database ziel;
