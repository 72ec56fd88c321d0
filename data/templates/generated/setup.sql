-- Settings, years and operators of a generated account set; the accounts are made in code,
-- all in 2024.
INSERT INTO host_setting (cName, cValue) VALUES
    ('AccountSetName', '生成测试账套'),
    ('AccountSetNumber', '900'),
    ('ClassKindSplit', '0');

INSERT INTO host_year (iYear) VALUES (2023), (2024), (2025);

INSERT INTO host_user (cUser_Id, cUser_Name) VALUES
    ('demo', '演示用户'),
    ('accountant', '会计员'),
    ('supervisor', '财务主管');
