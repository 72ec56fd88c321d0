-- Account-set database, PostgreSQL. The same tables and columns as sqlite.sql (names fold to
-- lower case here; unquoted statements read them the same way).

-- The server's text collation, for the statements PostgresRenderer writes: case- and
-- width-insensitive (full-width forms are their ASCII forms, the ideographic space a blank,
-- half-width katakana and jamo their full forms), trailing blanks ignored by comparisons, LIKE with
-- its [..] classes. Texts are compared folded; codes and classes are indexed folded, in byte order
-- (COLLATE "C"), so "=" is one index look and a LIKE with a literal start one index range. The
-- character type of the database must know letters beyond ASCII (a UTF-8 locale) for lower().

-- Character by character, keeping every character's place. ASCII text (every code) is only
-- lower-cased; only a text with a wide or narrow form in it (U+3000, U+FF00 to U+FFEF) pays for
-- the translation.
CREATE FUNCTION sarvo_fold_chars(s text) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN octet_length(s) = char_length(s) THEN lower(s)
                ELSE replace(lower(CASE WHEN s ~ '[　＀-￯]' THEN translate(s,
        '　！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［＼］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～｟｠｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟﾠﾡﾢﾣﾤﾥﾦﾧﾨﾩﾪﾫﾬﾭﾮﾯﾰﾱﾲﾳﾴﾵﾶﾷﾸﾹﾺﾻﾼﾽﾾￂￃￄￅￆￇￊￋￌￍￎￏￒￓￔￕￖￗￚￛￜ￠￡￢￣￤￥￦￨￩￪￫￬￭￮',
        ' !"#$%&''()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcdefghijklmnopqrstuvwxyz{|}~⦅⦆。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゙゚ㅤㄱㄲㄳㄴㄵㄶㄷㄸㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅃㅄㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎㅏㅐㅑㅒㅓㅔㅕㅖㅗㅘㅙㅚㅛㅜㅝㅞㅟㅠㅡㅢㅣ¢£¬¯¦¥₩│←↑→↓■○') ELSE s END), 'ς', 'σ') END
$$;

-- What "=" and the order comparisons compare: folded, trailing blanks dropped.
CREATE FUNCTION sarvo_fold(s text) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT rtrim(sarvo_fold_chars(s)) $$;

-- The range of folded texts that can match LIKE p: its literal start (up to the first %, _ or
-- [), folded, and that start followed by the highest code point, which no text holds (U+10FFFF is
-- a noncharacter). Both are computed once per pattern, or once per row of a prefix join: cheap.
CREATE FUNCTION sarvo_fold_lo(p text) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT sarvo_fold(split_part(split_part(split_part(p, '%', 1), '_', 1), '[', 1))
$$;

CREATE FUNCTION sarvo_fold_hi(p text) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT sarvo_fold_lo(p) || chr(1114111) $$;

-- A LIKE pattern of the server as a regular expression over folded text: % and _, [..] and
-- [^..] classes, the escape character; '(?!)' for a pattern that matches nothing.
CREATE FUNCTION sarvo_like_regex(p text, esc text) RETURNS text
    LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    r text := '^';
    i integer := 1;
    n integer := length(p);
    c text;
    k integer;
    j integer;
    body text;
    negated boolean;
    members text;
    lo text;
    hi text;
BEGIN
    IF length(esc) > 1 THEN
        RAISE EXCEPTION 'The invalid escape character "%" was specified in a LIKE predicate.', esc;
    END IF;
    WHILE i <= n LOOP
        c := substr(p, i, 1);
        IF esc <> '' AND c = esc THEN
            IF i = n THEN RETURN '(?!)'; END IF;
            i := i + 1;
            r := r || regexp_replace(sarvo_fold_chars(substr(p, i, 1)), '([.^$*+?()\[\]{}|\\-])', '\\\1', 'g');
        ELSIF c = '%' THEN
            r := r || '.*';
        ELSIF c = '_' THEN
            r := r || '.';
        ELSIF c = '[' THEN
            k := strpos(substr(p, i + 1), ']');
            IF k <= 1 THEN RETURN '(?!)'; END IF;
            body := sarvo_fold_chars(substr(p, i + 1, k - 1));
            IF body = '^' THEN RETURN '(?!)'; END IF;
            negated := left(body, 1) = '^';
            IF negated THEN body := substr(body, 2); END IF;
            -- Single characters and ranges; a range whose ends are the wrong way round holds
            -- nothing (the regular expression would refuse it).
            members := '';
            j := 1;
            WHILE j <= length(body) LOOP
                lo := substr(body, j, 1);
                IF j + 2 <= length(body) AND substr(body, j + 1, 1) = '-' THEN
                    hi := substr(body, j + 2, 1);
                    IF lo COLLATE "C" <= hi COLLATE "C" THEN
                        members := members || regexp_replace(lo, '([\[\]\\^-])', '\\\1') || '-' ||
                                 regexp_replace(hi, '([\[\]\\^-])', '\\\1');
                    END IF;
                    j := j + 3;
                ELSE
                    members := members || regexp_replace(lo, '([\[\]\\^-])', '\\\1');
                    j := j + 1;
                END IF;
            END LOOP;
            IF members <> '' THEN
                r := r || CASE WHEN negated THEN '[^' ELSE '[' END || members || ']';
            ELSIF negated THEN
                r := r || '.';
            ELSE
                RETURN '(?!)';
            END IF;
            i := i + k;
        ELSE
            r := r || regexp_replace(sarvo_fold_chars(c), '([.^$*+?()\[\]{}|\\-])', '\\\1', 'g');
        END IF;
        i := i + 1;
    END LOOP;
    RETURN r || '$';
END
$$;

-- The server's LIKE: an ASCII pattern without classes (every typed code, most typed text) through
-- ILIKE on ASCII text and LIKE on folded text, other plain patterns through LIKE on folded texts,
-- the rest as a regular expression. This runs for every row a search reads: cheap tests first.
CREATE FUNCTION sarvo_like(s text, p text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN strpos(p, '[') = 0 AND octet_length(p) = char_length(p)
                THEN (CASE WHEN octet_length(s) = char_length(s) THEN s ILIKE p ESCAPE ''
                           ELSE sarvo_fold_chars(s) LIKE lower(p) ESCAPE '' END)
                WHEN p !~ '[[％＿［]' THEN sarvo_fold_chars(s) LIKE sarvo_fold_chars(p) ESCAPE ''
                ELSE sarvo_fold_chars(s) ~ sarvo_like_regex(p, '') END
$$;

CREATE FUNCTION sarvo_like(s text, p text, esc text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT sarvo_fold_chars(s) ~ sarvo_like_regex(p, esc) $$;

-- CHARINDEX and REPLACE find their text under the collation.
CREATE FUNCTION sarvo_charindex(f text, s text, start integer DEFAULT 1) RETURNS integer
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN f = '' THEN 0
                ELSE coalesce(nullif(strpos(substr(sarvo_fold_chars(s), greatest(start, 1)), sarvo_fold_chars(f)), 0)
                              + greatest(start, 1) - 1, 0) END
$$;

CREATE FUNCTION sarvo_replace(s text, f text, r text) RETURNS text
    LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    folded text := sarvo_fold_chars(s);
    needle text := sarvo_fold_chars(f);
    result text := '';
    done integer := 1;
    at integer;
BEGIN
    IF needle = '' THEN RETURN s; END IF;
    LOOP
        at := strpos(substr(folded, done), needle);
        EXIT WHEN at = 0;
        result := result || substr(s, done, at - 1) || r;
        done := done + at - 1 + length(needle);
    END LOOP;
    RETURN result || substr(s, done);
END
$$;


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
-- Level-by-level loading: one grade of one class, or one grade under a code prefix; the
-- confirmation's look-up by code. Over folded texts, as the statements compare them.
CREATE INDEX code_year_grade_class ON code (iYear, igrade, (sarvo_fold(cclass) COLLATE "C"), ccode);
CREATE INDEX code_year_grade_code ON code (iYear, igrade, (sarvo_fold(ccode) COLLATE "C"));
CREATE INDEX code_year_code ON code (iYear, (sarvo_fold(ccode) COLLATE "C"));
-- One grade in code order: the first level of the hierarchy, whose accounts lead the prefix join
-- (without it a plan made for any grade walks the whole year in code order).
CREATE INDEX code_year_grade_ccode ON code (iYear, igrade, ccode);
-- The quick filter's "begins with" over the names and the mnemonic beside the code: each ORed
-- LIKE with a literal start is one index range, and the server combines the four (BitmapOr)
-- instead of reading the whole year.
CREATE INDEX code_year_name ON code (iYear, (sarvo_fold(ccode_name) COLLATE "C"));
CREATE INDEX code_year_engl ON code (iYear, (sarvo_fold(ccode_engl) COLLATE "C"));
CREATE INDEX code_year_help ON code (iYear, (sarvo_fold(chelp) COLLATE "C"));

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
