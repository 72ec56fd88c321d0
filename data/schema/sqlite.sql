-- Account-set database, SQLite. Tables the component reads and writes (code, GL_mcodeused,
-- AccInformation) and the host's own tables that describe the account set (host_*).

-- Chart of accounts, one row per account and year. Stored in key order (no separate row id), so
-- that reading a year's accounts in code order, as every filter does, walks the table itself
-- instead of an index and a look-up into the table per row.
CREATE TABLE code (
    iYear       INTEGER NOT NULL,
    cclass      TEXT    NOT NULL,          -- class name as the host stores it (资产, 负债, ...)
    ccode       TEXT    NOT NULL,          -- a child's code begins with its parent's code
    ccode_name  TEXT,
    ccode_engl  TEXT,
    igrade      INTEGER NOT NULL CHECK (igrade BETWEEN 1 AND 13),
    chelp       TEXT,                      -- mnemonic, upper-case pinyin initials
    bperson     INTEGER NOT NULL DEFAULT 0 CHECK (bperson IN (0, 1)),
    bcus        INTEGER NOT NULL DEFAULT 0 CHECK (bcus IN (0, 1)),
    bsup        INTEGER NOT NULL DEFAULT 0 CHECK (bsup IN (0, 1)),
    bdept       INTEGER NOT NULL DEFAULT 0 CHECK (bdept IN (0, 1)),
    bitem       INTEGER NOT NULL DEFAULT 0 CHECK (bitem IN (0, 1)),
    citem_class TEXT,                      -- project class of a project account, null otherwise
    cexch_name  TEXT,                      -- currency of a foreign-currency account
    cmeasure    TEXT,                      -- unit of a quantity account
    bend        INTEGER NOT NULL DEFAULT 0 CHECK (bend IN (0, 1)),
    br          INTEGER NOT NULL DEFAULT 0 CHECK (br IN (0, 1)),
    be          INTEGER NOT NULL DEFAULT 0 CHECK (be IN (0, 1)),
    bclose      INTEGER NOT NULL DEFAULT 0 CHECK (bclose IN (0, 1)),
    PRIMARY KEY (iYear, ccode)
) WITHOUT ROWID;
-- Level-by-level loading: one grade of one class, or one grade under a code prefix.
CREATE INDEX code_year_grade_class ON code (iYear, igrade, cclass, ccode);
CREATE INDEX code_year_grade_code ON code (iYear, igrade, ccode);

-- Recently used accounts per operator.
CREATE TABLE GL_mcodeused (
    cuser TEXT NOT NULL,
    ccode TEXT NOT NULL,
    PRIMARY KEY (cuser, ccode)
);

-- The host's option store.
CREATE TABLE AccInformation (
    cSysID   TEXT NOT NULL,
    cID      TEXT,
    cName    TEXT NOT NULL,
    cCaption TEXT,
    cType    TEXT,
    cValue   TEXT,
    cDefault TEXT,
    bVisible INTEGER,
    bEnable  INTEGER,
    PRIMARY KEY (cSysID, cName)
);

-- Account classes in their order; cclass is the name stored in code.cclass.
CREATE TABLE host_class (
    iPosition INTEGER PRIMARY KEY,         -- 0-based
    cclass    TEXT NOT NULL UNIQUE,
    cKind     TEXT NOT NULL,               -- kind code; budget kinds begin with YS
    cText_zhcn TEXT NOT NULL,
    cText_zhtw TEXT NOT NULL,
    cText_enus TEXT NOT NULL
);

-- Code scheme: total code length of each grade.
CREATE TABLE host_scheme (
    iGrade  INTEGER PRIMARY KEY CHECK (iGrade BETWEEN 1 AND 13),
    iLength INTEGER NOT NULL
);

-- Account-set settings: name, number, class-kind split.
CREATE TABLE host_setting (
    cName  TEXT PRIMARY KEY,
    cValue TEXT
);

CREATE TABLE host_year (
    iYear INTEGER PRIMARY KEY
);

CREATE TABLE host_user (
    cUser_Id   TEXT PRIMARY KEY,
    cUser_Name TEXT NOT NULL
);
