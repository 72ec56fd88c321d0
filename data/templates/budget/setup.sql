-- A public-sector account set with financial and budget accounting side by side: five
-- financial classes, then three budget classes whose kind codes begin with YS. The host splits
-- classes by kind, so a request can show either side alone.
INSERT INTO host_class (iPosition, cclass, cKind, cText_zhcn, cText_zhtw, cText_enus) VALUES
    (0, '资产', 'CW01', '资产', '資產', 'Assets'),
    (1, '负债', 'CW02', '负债', '負債', 'Liabilities'),
    (2, '净资产', 'CW03', '净资产', '淨資產', 'Net Assets'),
    (3, '收入', 'CW04', '收入', '收入', 'Revenue'),
    (4, '费用', 'CW05', '费用', '費用', 'Expenses'),
    (5, '预算收入', 'YS01', '预算收入', '預算收入', 'Budget Revenue'),
    (6, '预算支出', 'YS02', '预算支出', '預算支出', 'Budget Expenditure'),
    (7, '预算结余', 'YS03', '预算结余', '預算結餘', 'Budget Balances');

INSERT INTO host_scheme (iGrade, iLength) VALUES
    (1, 4), (2, 6), (3, 8), (4, 10), (5, 12), (6, 14), (7, 16),
    (8, 18), (9, 20), (10, 22), (11, 24), (12, 26), (13, 28);

INSERT INTO host_setting (cName, cValue) VALUES
    ('AccountSetName', '演示预算账套'),
    ('AccountSetNumber', '002'),
    ('ClassKindSplit', '1');

INSERT INTO host_year (iYear) VALUES (2024);

INSERT INTO host_user (cUser_Id, cUser_Name) VALUES
    ('demo', '演示用户'),
    ('accountant', '会计员'),
    ('supervisor', '财务主管');
