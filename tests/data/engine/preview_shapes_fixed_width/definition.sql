-- The final shape of a value by field type, width, decimals, sign, zeros and alignment at fixed widths
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, -1, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'blanksAreZero', '', 10),
  ('T', 'blankBeforeMinus', '', 20),
  ('T', 'explicitPlusFix', '', 30),
  ('T', 'textZeroLengthFix', '', 40),
  ('T', 'dateUntouched', '', 50),
  ('T', 'dateBlanksCutFix', '', 60);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'BLANKSAREZERO', 5, 2, 'Zahl', '', '', 'blanksAreZero', 'links', '', 10, 0, 1, 0, ''),
  ('T', 'BLANKBEFOREMINUS', 3, 0, 'Zahl', '', '', 'blankBeforeMinus', 'links', '', 20, 0, 1, 0, ''),
  ('T', 'EXPLICITPLUSFIX', 3, 0, 'Zahl', '', '', 'explicitPlusFix', 'links', '', 30, 0, 1, 0, ''),
  ('T', 'TEXTZEROLENGTHFIX', 0, 0, 'Text', '', '', 'textZeroLengthFix', 'links', '', 40, 0, 0, 0, ''),
  ('T', 'DATEUNTOUCHED', 10, 0, 'Datum', '', '', 'dateUntouched', 'links', '', 50, 0, 1, 0, ''),
  ('T', 'DATEBLANKSCUTFIX', 6, 0, 'Datum', '', '', 'dateBlanksCutFix', 'links', '', 60, 0, 0, 0, '');
