-- Definition RUN of the main window's tests: the records "n;x" of @DIR@/src.txt copied
-- to @DIR@/out.txt, field by field.
insert into srchead (transid, path, filetype, header, dbtable, delimiter, frommedium)
values ('RUN', '@DIR@/src.txt', '', 0, '', ';', 0);
insert into trghead (transid, path, filetype, header, dbtable, delimiter, textsign, frommedium,
                     fixlength, chkrecord, encoding)
values ('RUN', '@DIR@/out.txt', '', 0, '', ';', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, sort) values ('RUN', 'id', 10), ('RUN', 'c', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue,
                     srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command)
values ('RUN', 'N', 0, 0, 'Text', '', '', 'id', '', '', 10, 0, 0, 0, ''),
       ('RUN', 'C', 0, 0, 'Text', '', '', 'c', '', '', 20, 0, 0, 0, '');
