-- A UTF-8 file (Python's csv module) read as Windows-1252 would give "BÃ¼ro": the run stops
-- before anything is written and says where the UTF-8 begins and how to choose it
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Z', 'Text', 'S', 1);
