-- A "Text" folder follows the source's encoding: a CSV file of Python's csv module in UTF-8
-- (no byte order mark), chosen as UTF-8, written to a UTF-8 target
create table quendraSourceHead (transid varchar(20) primary key, encoding varchar(10));
insert into quendraSourceHead values ('T', 'UTF-8');
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', 0, 'quelle', ';', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'UTF-8');
insert into srcBody (transid, field, sort) values ('T', 'a', 10), ('T', 'b', 20);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 10), ('T', 'B', 'Text', 'b', 20);
