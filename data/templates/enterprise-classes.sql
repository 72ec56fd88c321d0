-- Account classes and code scheme of an enterprise account set (the standard and generated
-- templates). Classes in the order the dialog shows them; scheme 4-2-2, then two digits for
-- every further grade up to 13.
INSERT INTO host_class (iPosition, cclass, cKind, cText_zhcn, cText_zhtw, cText_enus) VALUES
    (0, '资产', '01', '资产', '資產', 'Assets'),
    (1, '负债', '02', '负债', '負債', 'Liabilities'),
    (2, '共同', '03', '共同', '共同', 'Common'),
    (3, '权益', '04', '权益', '權益', 'Equity'),
    (4, '成本', '05', '成本', '成本', 'Cost'),
    (5, '损益', '06', '损益', '損益', 'Profit and Loss');

INSERT INTO host_scheme (iGrade, iLength) VALUES
    (1, 4), (2, 6), (3, 8), (4, 10), (5, 12), (6, 14), (7, 16),
    (8, 18), (9, 20), (10, 22), (11, 24), (12, 26), (13, 28);
