-- The final shape of a value by field type, width, decimals, sign, zeros and alignment
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'rightNoFill', '', 10),
  ('T', 'rounding', '', 20),
  ('T', 'roundingNegative', '', 30),
  ('T', 'explicitPlusRight', '', 40),
  ('T', 'plainNumber', '', 50),
  ('T', 'tooLongFreeWidth', '', 60),
  ('T', 'plainDecimals', '', 70),
  ('T', 'plainPlus', '', 80),
  ('T', 'noIntegerDigit', '', 90),
  ('T', 'textZeroLengthRight', '', 100),
  ('T', 'textTrim', '', 110),
  ('T', 'textPadRight', '', 120),
  ('T', 'rightIsExact', '', 130),
  ('T', 'autoCount', '', 140),
  ('T', 'dateBlanksCutRight', '', 150),
  ('T', 'fillNoWidth', '', 160),
  ('T', 'fillZeroWidthWhole', '', 170);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'RIGHTNOFILL', 5, 2, 'Zahl', '', '', 'rightNoFill', 'rechts', '', 10, 0, 0, 0, ''),
  ('T', 'ROUNDING', 1, 2, 'Zahl', '', '', 'rounding', 'links', '', 20, 0, 1, 0, ''),
  ('T', 'ROUNDINGNEGATIVE', 1, 2, 'Zahl', '', '', 'roundingNegative', 'links', '', 30, 0, 1, 0, ''),
  ('T', 'EXPLICITPLUSRIGHT', 3, 0, 'Zahl', '', '', 'explicitPlusRight', 'rechts', '', 40, 0, 1, 0, ''),
  ('T', 'PLAINNUMBER', 3, 0, 'Zahl', '', '', 'plainNumber', 'links', '', 50, 0, 0, 0, ''),
  ('T', 'TOOLONGFREEWIDTH', 3, 1, 'Zahl', '', '', 'tooLongFreeWidth', 'links', '', 60, 0, 1, 0, ''),
  ('T', 'PLAINDECIMALS', 3, 0, 'Zahl', '', '', 'plainDecimals', 'links', '', 70, 0, 0, 0, ''),
  ('T', 'PLAINPLUS', 3, 0, 'Zahl', '', '', 'plainPlus', 'links', '', 80, 1, 0, 0, ''),
  ('T', 'NOINTEGERDIGIT', 0, 2, 'Zahl', '', '', 'noIntegerDigit', 'links', '', 90, 0, 0, 0, ''),
  ('T', 'TEXTZEROLENGTHRIGHT', 0, 0, 'Text', '', '', 'textZeroLengthRight', 'rechts', '', 100, 0, 0, 0, ''),
  ('T', 'TEXTTRIM', 0, 0, 'Text', '', '', 'textTrim', 'links', '', 110, 0, 0, 0, ''),
  ('T', 'TEXTPADRIGHT', 5, 0, 'Text', '', '', 'textPadRight', 'rechts', '', 120, 0, 0, 0, ''),
  ('T', 'RIGHTISEXACT', 5, 0, 'Text', '', '', 'rightIsExact', 'Rechts', '', 130, 0, 0, 0, ''),
  ('T', 'AUTOCOUNT', 3, 2, 'AutoCount', '', '', 'autoCount', 'rechts', '', 140, 1, 1, 0, ''),
  ('T', 'DATEBLANKSCUTRIGHT', 6, 0, 'Datum', '', '', 'dateBlanksCutRight', 'rechts', '', 150, 0, 0, 0, ''),
  ('T', 'FILLNOWIDTH', 0, 2, 'Zahl', '', '', 'fillNoWidth', 'links', '', 160, 0, 1, 0, ''),
  ('T', 'FILLZEROWIDTHWHOLE', 0, 0, 'Zahl', '', '', 'fillZeroWidthWhole', 'links', '', 170, 0, 1, 0, '');
