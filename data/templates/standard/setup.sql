-- Settings, years, operators and host options of the standard account set. Accounts exist in
-- 2023 and 2024; 2025 is opened but its chart is not set up yet.
INSERT INTO host_setting (cName, cValue) VALUES
    ('AccountSetName', '演示企业账套'),
    ('AccountSetNumber', '001'),
    ('ClassKindSplit', '0');

INSERT INTO host_year (iYear) VALUES (2023), (2024), (2025);

INSERT INTO host_user (cUser_Id, cUser_Name) VALUES
    ('demo', '演示用户'),
    ('accountant', '会计员'),
    ('supervisor', '财务主管');

-- General-ledger options of the host's own screens; the reference dialog adds its rows itself.
INSERT INTO AccInformation (cSysID, cID, cName, cCaption, cType, cValue, cDefault, bVisible, bEnable) VALUES
    ('GL', '01', 'bAuditBeforePost', '凭证审核后方可记账', 'Boolean', '1', '1', 1, 1),
    ('GL', '02', 'bCashierSign', '出纳凭证必须经出纳签字', 'Boolean', '0', '0', 1, 1),
    ('GL', '03', 'iQuantityDecimals', '数量小数位数', 'Integer', '2', '2', 1, 1),
    ('AR', '01', 'bCreditControl', '控制客户信用额度', 'Boolean', '1', '0', 1, 1);
