-- Account-set database, PostgreSQL. The same tables and columns as sqlite.sql (names fold to
-- lower case here; unquoted statements read them the same way).

-- Chart of accounts, one row per account and year.
CREATE TABLE code (
    iYear       SMALLINT NOT NULL,
    cclass      VARCHAR(40)  NOT NULL,     -- class name as the host stores it (资产, 负债, ...)
    ccode       VARCHAR(40)  NOT NULL,     -- a child's code begins with its parent's code
    ccode_name  VARCHAR(100),
    ccode_engl  VARCHAR(200),
    igrade      SMALLINT NOT NULL CHECK (igrade BETWEEN 1 AND 13),
    chelp       VARCHAR(60),               -- mnemonic, upper-case pinyin initials
    bperson     SMALLINT NOT NULL DEFAULT 0 CHECK (bperson IN (0, 1)),
    bcus        SMALLINT NOT NULL DEFAULT 0 CHECK (bcus IN (0, 1)),
    bsup        SMALLINT NOT NULL DEFAULT 0 CHECK (bsup IN (0, 1)),
    bdept       SMALLINT NOT NULL DEFAULT 0 CHECK (bdept IN (0, 1)),
    bitem       SMALLINT NOT NULL DEFAULT 0 CHECK (bitem IN (0, 1)),
    citem_class VARCHAR(40),               -- project class of a project account, null otherwise
    cexch_name  VARCHAR(40),               -- currency of a foreign-currency account
    cmeasure    VARCHAR(20),               -- unit of a quantity account
    bend        SMALLINT NOT NULL DEFAULT 0 CHECK (bend IN (0, 1)),
    br          SMALLINT NOT NULL DEFAULT 0 CHECK (br IN (0, 1)),
    be          SMALLINT NOT NULL DEFAULT 0 CHECK (be IN (0, 1)),
    bclose      SMALLINT NOT NULL DEFAULT 0 CHECK (bclose IN (0, 1)),
    PRIMARY KEY (iYear, ccode)
);
-- Level-by-level loading: one grade of one class, or one grade under a code prefix. The
-- pattern-ops index serves "ccode like 'prefix%'" whatever the database's collation.
CREATE INDEX code_year_grade_class ON code (iYear, igrade, cclass, ccode);
CREATE INDEX code_year_grade_code ON code (iYear, igrade, ccode varchar_pattern_ops);

-- Recently used accounts per operator.
CREATE TABLE GL_mcodeused (
    cuser VARCHAR(40) NOT NULL,
    ccode VARCHAR(40) NOT NULL,
    PRIMARY KEY (cuser, ccode)
);

-- The host's option store.
CREATE TABLE AccInformation (
    cSysID   VARCHAR(10) NOT NULL,
    cID      VARCHAR(20),
    cName    VARCHAR(60) NOT NULL,
    cCaption VARCHAR(200),
    cType    VARCHAR(20),
    cValue   VARCHAR(200),
    cDefault VARCHAR(200),
    bVisible SMALLINT,
    bEnable  SMALLINT,
    PRIMARY KEY (cSysID, cName)
);

-- Account classes in their order; cclass is the name stored in code.cclass.
CREATE TABLE host_class (
    iPosition  SMALLINT PRIMARY KEY,       -- 0-based
    cclass     VARCHAR(40) NOT NULL UNIQUE,
    cKind      VARCHAR(20) NOT NULL,       -- kind code; budget kinds begin with YS
    cText_zhcn VARCHAR(40) NOT NULL,
    cText_zhtw VARCHAR(40) NOT NULL,
    cText_enus VARCHAR(60) NOT NULL
);

-- Code scheme: total code length of each grade.
CREATE TABLE host_scheme (
    iGrade  SMALLINT PRIMARY KEY CHECK (iGrade BETWEEN 1 AND 13),
    iLength SMALLINT NOT NULL
);

-- Account-set settings: name, number, class-kind split.
CREATE TABLE host_setting (
    cName  VARCHAR(60) PRIMARY KEY,
    cValue VARCHAR(200)
);

CREATE TABLE host_year (
    iYear SMALLINT PRIMARY KEY
);

CREATE TABLE host_user (
    cUser_Id   VARCHAR(40) PRIMARY KEY,
    cUser_Name VARCHAR(60) NOT NULL
);
