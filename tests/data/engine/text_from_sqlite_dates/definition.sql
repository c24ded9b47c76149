-- Date and date-time texts of an SQLite source, a blank or a "T" before the time: a time is kept, a midnight is not shown;
-- times of day with or without seconds, a text in a time column kept as it is, a bit as a logical
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/termine.db', 'MS Access', 0, 'termine', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'tag', 2), ('T', 'zeitpunkt', 3), ('T', 'uhrzeit', 4), ('T', 'erledigt', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NR', 'Text', 'nr', 0, 0, '', 1), ('T', 'TAG', 'Text', 'tag', 0, 0, '', 2), ('T', 'ZEITPUNKT', 'Text', 'zeitpunkt', 0, 0, '', 3), ('T', 'UHRZEIT', 'Text', 'uhrzeit', 0, 0, '', 4), ('T', 'ERLEDIGT', 'Text', 'erledigt', 0, 0, '', 5);
