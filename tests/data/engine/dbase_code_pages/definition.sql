-- The text of a dBase table is decoded by its language driver, or by its .cpg file
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, '', ';', 'select ''ldid437'', text from ldid437 union all select ''ldid850'', text from ldid850 union all select ''ldid1252'', text from ldid1252 union all select ''ldid852'', text from ldid852 union all select ''ldid866'', text from ldid866 union all select ''ldid87'', text from ldid87 union all select ''no_ldid'', text from no_ldid union all select ''cpg_utf8'', text from cpg_utf8 union all select ''cpg850'', text from cpg850', 2);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@/init.mdb', 'MS Access', 'ziel', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'tabelle', 1), ('T', 'text', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'TABELLE', 'Text', 'tabelle', 1), ('T', 'TEXT', 'Text', 'text', 2);
create table ziel (tabelle text, text text);
