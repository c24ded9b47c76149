insert into srcHead values ('REISE', '/daten/quelle.txt', '', -1, NULL, ';', '', 'select *
from "Buchung" where text = ''a\b''', 0);
insert into trgHead values ('REISE', 'DSN=LAGER;UID=q;PWD=geheim', NULL, 0, 'ziel', '', NULL, '"', 1, 0, -1, 'ANSI');
insert into srcBody values ('REISE', 'konto', 4, 0, 'Text', '', 'Kontonummer', NULL, '', 20);
insert into srcBody values ('REISE', 'datum', 8, '', 'Text', 'yyyymmdd', 'Buchungsdatum', 2, NULL, 10);
insert into trgBody values ('REISE', 'KONTO', 4, 0, 'Text', '', 'Neues Konto für Übersicht', '', 'konto', '', '', 20, 0, 0, -1, '');
insert into trgBody values ('REISE', 'DATUM', 10, 0, 'Datum', 'dd.mm.yyyy', NULL, NULL, 'datum', 'rechts', 'Anzahl', 10, -1, -1, 0, '<lastvalue>');
insert into trgBody values ('REISE', 'KONTO', 4, 0, 'Text', '', 'zweimal', '', 'konto', '', '', 30, 0, 0, 0, '');
insert into trgconvert values ('REISE', 'KONTO', '4711', '8000');
insert into trgconvert values ('REISE', 'ALT', 'x', 'y');
insert into trgconvert values ('REISE', 'KONTO', '(*)', 'Straße "9"');
insert into trgconvert values ('REISE', NULL, '', NULL);
insert into trgconvert values ('REISE', 'KONTO', NULL, NULL);
insert into trgconvert values ('REISE', 'DATUM', '	tab' || char(8, 12, 13, 1, 127), '');
insert into srcHead values ('ANDERE', 'x', '', 0, '', ';', '', NULL, 0);
insert into trgconvert values ('ANDERE', 'KONTO', '1', '2');
insert into trgBody (transid, field, sort) values ('OHNEKOPF', 'F', 1);
-- A memo column takes "5" as the number 5 (its type names no text): it travels as a number.
-- Its TransID fills the column's 20 characters.
insert into srcHead values ('ZAHL_ZWANZIG_ZEICHEN', 'x', '', 0, '', ';', '', '5', 0);
