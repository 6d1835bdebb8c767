-- The demo game database: the tables and columns the program reads, filled
-- with a deterministic mix of Chinese and Latin characters, their items
-- and pets. Built into realmdb.sqlite by the build.
-- The names compare as on the game server, whatever their letter case: the
-- program reads NOCASE as a comparison folding every letter, which orders
-- Chinese and ASCII text as the sqlite3 shell's own NOCASE does, so the two
-- agree on these names. No index on them: one built here would disagree
-- with the program for other cased letters. Files made before the names
-- had COLLATE NOCASE keep comparing them case-sensitively.
CREATE TABLE user_data (char_id INTEGER PRIMARY KEY, char_name TEXT COLLATE NOCASE, account_name TEXT COLLATE NOCASE);
CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER, enchant INTEGER);
CREATE TABLE pet_data (pet_id INTEGER PRIMARY KEY, nick_name TEXT);

CREATE TEMP TABLE surname (n INTEGER PRIMARY KEY, s TEXT);
INSERT INTO surname VALUES (0,'李'),(1,'王'),(2,'张'),(3,'刘'),(4,'陈'),(5,'杨'),(6,'赵'),(7,'黄'),(8,'周'),(9,'吴'),
  (10,'徐'),(11,'孙'),(12,'胡'),(13,'朱'),(14,'高'),(15,'林'),(16,'何'),(17,'郭'),(18,'马'),(19,'罗');
CREATE TEMP TABLE given (n INTEGER PRIMARY KEY, s TEXT);
INSERT INTO given VALUES (0,'逍遥'),(1,'无忌'),(2,'飞燕'),(3,'青云'),(4,'剑心'),(5,'星辰'),(6,'明月'),(7,'小龙'),
  (8,'天行'),(9,'若雪'),(10,'长风'),(11,'紫霞');
CREATE TEMP TABLE latin (n INTEGER PRIMARY KEY, s TEXT);
INSERT INTO latin VALUES (0,'Arthur'),(1,'Brienne'),(2,'Cedric'),(3,'Dagny'),(4,'Elric'),(5,'Freya'),(6,'Gawain'),
  (7,'Helga'),(8,'Ivor'),(9,'Jorunn'),(10,'Kael'),(11,'Liv'),(12,'Magnus'),(13,'Nyx'),(14,'Osric'),(15,'Petra'),
  (16,'Quinn'),(17,'Rurik'),(18,'Sigrid'),(19,'Tove');
CREATE TEMP TABLE petname (n INTEGER PRIMARY KEY, s TEXT);
INSERT INTO petname VALUES (0,'小白'),(1,'旺财'),(2,'Shadow'),(3,'雪狼'),(4,'Fang'),(5,'火龙'),(6,'Luna'),(7,'大黄'),
  (8,'Wolfie'),(9,NULL);

-- 240 Chinese names (surname x given), then 60 Latin ones; 40 accounts.
WITH RECURSIVE ids(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM ids WHERE id < 300)
INSERT INTO user_data
SELECT id,
       CASE WHEN id <= 240
            THEN (SELECT s FROM surname WHERE n = (id - 1) % 20) || (SELECT s FROM given WHERE n = (id - 1) / 20)
            ELSE (SELECT s FROM latin WHERE n = (id - 241) % 20) || CASE (id - 241) / 20 WHEN 0 THEN '' WHEN 1 THEN 'son' ELSE 'dottir' END
       END,
       'acct' || printf('%02d', (id * 13) % 40)
FROM ids;

-- Names that ask for care: a quote, wildcards, a three-character account.
INSERT INTO user_data VALUES (301, 'O''Brien', 'acct_quote'), (302, '100%纯', 'acct_wild'), (303, 'a_b', 'acct_wild'),
  (304, '三号甲', 'trio'), (305, '三号乙', 'trio'), (306, '三号丙', 'trio');

-- 6000 items: mostly equipment the item table names, some potions and
-- coins, a few ids the item table does not know, and pet summoning stones.
WITH RECURSIVE ids(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM ids WHERE id < 6000)
INSERT INTO user_item
SELECT id,
       (id * 37) % 306 + 1,
       CASE WHEN (id * 53) % 400 < 360 THEN 1000 + (id * 53) % 400
            WHEN (id * 53) % 400 < 390 THEN (id * 53) % 400 - 359 - ((id * 53) % 400 - 360) / 8 * 8
            ELSE 5000 + (id * 53) % 400
       END,
       0, 0
FROM ids;
UPDATE user_item SET amount = CASE WHEN item_type < 1000 THEN (item_id * 17) % 500 + 1 ELSE 1 END,
                     enchant = CASE WHEN item_id % 97 = 0 THEN NULL
                                    WHEN item_type < 1000 THEN 0
                                    ELSE (item_id * 29) % 16 END;

-- Copies of 12 instances (item_id 7, 507, ... 5507), as a duplication
-- exploit leaves them: one more holder where item_id % 3 = 0, two more
-- where it is 1, the same holder twice where it is 2.
INSERT INTO user_item
SELECT item_id, CASE item_id % 3 WHEN 2 THEN char_id ELSE char_id % 306 + 1 END, item_type, amount, enchant
FROM user_item WHERE item_id % 500 = 7;
INSERT INTO user_item
SELECT item_id, (char_id + 1) % 306 + 1, item_type, amount, enchant
FROM user_item WHERE item_id % 500 = 7 AND item_id % 3 = 1 AND rowid <= 6000;
CREATE INDEX user_item_instance ON user_item (item_id);

INSERT INTO pet_data
SELECT item_id, (SELECT s FROM petname WHERE n = item_id % 10) FROM user_item WHERE item_type IN (7, 8);
