-- kelvo.dat: the signature database that ships beside Tarnock.exe.
-- Built at build time with the sqlite3 command-line tool; texts are UTF-8 (SQLite's own
-- encoding) and the program converts them to its code page when it loads them.
--
-- tb_kelvo_mst, one row per known product. The program reads the first five columns by
-- position: key, product name, information text (the homepage, opened when it starts
-- with "http:"), uninstall key name and match mode. The uninstall key name is the name
-- of the product's subkey under
--   HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\
-- Match mode '%' means the key name is a fragment, looked for case-insensitively inside
-- the subkey names; '=' means the exact subkey name (registry names ignore case).
-- A key that an installer derives from a stable id (an MSI product code, an Inno Setup
-- AppId, an NSIS or Squirrel product name) is given exactly, one row per known key; a
-- fragment only where the key carries a version or edition, and only when it cannot occur
-- in the key or display name of another product (tools/check-data.py checks every row
-- against tests/data/uninstall-corpus.tsv).
--
-- Every product row ends with the evidence for its key:
--   -- source: where a public installer manifest, installer script or program states it
--   -- unverified: why no public evidence was found (kept for users of older versions)
--
-- tb_process_list: processes stopped before a product's uninstaller runs (file names).
-- tb_registry_list: registry entries deleted after it ran. A path ending in "\" is a key
-- (deleted with its subkeys), any other path a value. Only keys that belong to the one
-- product are listed, never a key that other programs share.
--
-- Type: 1 spyware-cure and fake security programs, adware-removal tools; 2 toolbars;
-- 3 messengers; 4 P2P and web-storage clients; 9 commercial software that needs a licence.
-- Keys are Type * 100 + a running number, so a product keeps its key when others are added.

PRAGMA foreign_keys = ON;

CREATE TABLE tb_kelvo_mst (
    mst_Seq       INTEGER PRIMARY KEY,
    product_name  TEXT NOT NULL CHECK (product_name <> ''),
    info          TEXT NOT NULL DEFAULT '',
    uninstall_key TEXT NOT NULL CHECK (uninstall_key <> ''),
    match_mode    TEXT NOT NULL CHECK (match_mode IN ('%', '=')),
    Type          INTEGER NOT NULL CHECK (Type IN (1, 2, 3, 4, 9)),
    UNIQUE (Type, product_name)
);

CREATE TABLE tb_process_list (
    process_name TEXT NOT NULL CHECK (process_name <> '' AND instr(process_name, '\') = 0),
    mst_Seq      INTEGER NOT NULL REFERENCES tb_kelvo_mst (mst_Seq)
);

CREATE TABLE tb_registry_list (
    registry_key TEXT NOT NULL
        CHECK (substr(registry_key, 1, 19) = 'HKEY_LOCAL_MACHINE\' OR substr(registry_key, 1, 11) = 'HKEY_USERS\'),
    mst_Seq      INTEGER NOT NULL REFERENCES tb_kelvo_mst (mst_Seq)
);

CREATE INDEX tb_process_list_mst ON tb_process_list (mst_Seq);
CREATE INDEX tb_registry_list_mst ON tb_registry_list (mst_Seq);

-- ---------------------------------------------------------------------------------------
-- Type 1: fake security programs (rogue anti-spyware that reports invented infections to
-- sell a licence) and spyware / adware removal tools.
-- The rogue programs have no homepage worth opening; their information text says what
-- they are. Their installers were never published: the keys that removal scripts of their
-- time delete are given exactly, the others stay fragments of names distinctive enough to
-- find no other product.
-- Removed: Ad-Aware (the fragment also matched Ad-Aware Web Companion, a different product
-- of the vendor), HitmanPro (also matched HitmanPro.Alert); Malwarebytes and Zemana were
-- narrowed to their anti-malware product for the same reason.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (101, 'SpySheriff',                 '허위 보안 프로그램', 'SpySheriff',                '%', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpySheriff and \Spy Sheriff (row 140); kept a fragment so that the demo machine's entry without an uninstall command stays unlisted
  (102, 'WinFixer',                   '허위 보안 프로그램', 'WinFixer',                  '%', 1),  -- unverified: rogue program, no published installer
  (103, 'ErrorSafe',                  '허위 보안 프로그램', 'ErrorSafe',                 '%', 1),  -- unverified: rogue program, no published installer
  (104, 'SpywareQuake',               '허위 보안 프로그램', 'SpywareQuake',              '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpywareQuake and \SpywareQuake.com (row 141)
  (105, 'SpyAxe',                     '허위 보안 프로그램', 'SpyAxe',                    '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpyAxe
  (106, 'PestTrap',                   '허위 보안 프로그램', 'PestTrap',                  '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\PestTrap
  (107, 'SpyFalcon',                  '허위 보안 프로그램', 'SpyFalcon',                 '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpyFalcon
  (108, 'DriveCleaner',               '허위 보안 프로그램', 'DriveCleaner',              '%', 1),  -- unverified: rogue program, no published installer
  (109, 'WinAntiVirus Pro',           '허위 보안 프로그램', 'WinAntiVirus',              '%', 1),  -- unverified: rogue program, no published installer
  (110, 'SystemDoctor',               '허위 보안 프로그램', 'SystemDoctor',              '%', 1),  -- unverified: rogue program, no published installer
  (111, 'MalwareAlarm',               '허위 보안 프로그램', 'MalwareAlarm',              '%', 1),  -- unverified: rogue program, no published installer
  (112, 'SpyLocked',                  '허위 보안 프로그램', 'SpyLocked',                 '%', 1),  -- unverified: rogue program, no published installer
  (113, 'SpywareStrike',              '허위 보안 프로그램', 'SpywareStrike',             '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpywareStrike
  (114, 'WinSpywareProtect',          '허위 보안 프로그램', 'WinSpywareProtect',         '%', 1),  -- unverified: rogue program, no published installer
  (115, 'SpyCrush',                   '허위 보안 프로그램', 'SpyCrush',                  '%', 1),  -- unverified: rogue program, no published installer
  (116, 'SpyHeal',                    '허위 보안 프로그램', 'SpyHeal',                   '%', 1),  -- unverified: rogue program, no published installer
  (117, 'UltimateCleaner',            '허위 보안 프로그램', 'UltimateCleaner',           '%', 1),  -- unverified: rogue program, no published installer
  (118, 'WinPCDefender',              '허위 보안 프로그램', 'WinPCDefender',             '%', 1),  -- unverified: rogue program, no published installer
  (119, 'Advanced Identity Protector', '개인정보 보호 과장 광고 프로그램', '{94D1067D-4899-466c-BBB4-9FDD98E02C77}', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/programs_to_target_by_GUID.txt (Advanced Identity Protector)
  (121, 'Malwarebytes',               'http://www.malwarebytes.com',     '{35065F43-4BB2-439A-BFF7-0F1014F2E0CD}_is1', '=', 1),  -- source: winget-pkgs manifests/m/Malwarebytes/Malwarebytes/5.7.1.346 ProductCode (versions 4 and 5)
  (122, 'SUPERAntiSpyware (10)',      'http://www.superantispyware.com', '{CDDCBBF1-2703-46BC-938B-BCC81A1EEAAA}', '=', 1),  -- source: winget-pkgs manifests/s/SUPERAntiSpyware/SUPERAntiSpyware/10.0.1278 ProductCode
  (123, 'Spybot - Search & Destroy (MSI)', 'http://www.safer-networking.org', '{B4092C6D-E886-4CB2-BA68-FE5A88D31DE6}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Spybot - Search & Destroy)
  (124, 'PCKeeper',                   '허위 최적화 프로그램', '{8BD51157-BF89-4770-AA1A-94DFD5F05D15}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (PCKeeper)
  (125, 'Uniblue SpeedUpMyPC',        '허위 최적화 프로그램', '{E55B3271-7CA8-4D0C-AE06-69A24856E996}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Uniblue SpeedUpMyPC)
  (126, 'Connect To Tech-Support',    '가짜 기술 지원 (악성 프로그램)', '{A22B8513-EA8C-46A1-9735-F5BE971C368D}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Connect To Tech-Support (malware))
  (127, 'Uninstall Helper (malware)', '악성 프로그램', '{82BF2C5E-79A7-4A13-B508-D5E64A5B141E}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Uninstall Helper (malware))
  (128, 'Steam 1.0.0.0 (malware)',    '악성 프로그램 (Valve의 Steam이 아님)', '{AE8705FB-E13C-40A9-8A2D-68D6733FBFC2}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Steam 1.0.0.0, malware; not Valve's Steam)
  (120, 'CA Pest Patrol Realtime Protection', '스파이웨어 제거 프로그램 (개발 중단)', '{F05A5232-CE5E-4274-AB27-44EB8105898D}', '=', 1),  -- source: bmrf/tron programs_to_target_by_GUID.txt (CA Pest Patrol Realtime Protection 001.001.0034)
  (131, 'Spybot - Search & Destroy',  'http://www.safer-networking.org', 'Spybot - Search & Destroy', '%', 1),  -- source: Nessus detection script reads ...\Uninstall\Spybot - Search & Destroy_is1 (Inno Setup); newer MSI installers: row 123
  (132, 'Malwarebytes Anti-Malware',  'http://www.malwarebytes.com',     'Malwarebytes'' Anti-Malware', '%', 1),  -- unverified: Inno Setup key of versions 1.x "Malwarebytes' Anti-Malware_is1"; narrowed so that Anti-Exploit and AdwCleaner stay out
  (133, 'SUPERAntiSpyware',           'http://www.superantispyware.com', 'SUPERAntiSpyware',          '%', 1),  -- unverified: key of versions before 10 (version 10 registers by product code, row 122); the Chocolatey package 6.0.1232 (dtgm/chocolatey-packages automatic/_output/superantispyware/6.0.1232/tools/chocolateyUninstall.ps1) finds the entry by its display name "SUPERAntiSpyware" but does not name the key
  (135, 'Spyware Doctor',             'http://www.pctools.com',          'Spyware Doctor',            '%', 1),  -- unverified: product discontinued, no installer manifest
  (136, 'Spyware Terminator',         'http://www.spywareterminator.com', 'Spyware Terminator',       '%', 1),  -- unverified: no installer script or manifest found
  (137, 'SpyHunter',                  'http://www.enigmasoftware.com',   'SpyHunter',                 '%', 1),  -- unverified: no installer script or manifest found
  (139, 'Zemana AntiMalware',         'http://www.zemana.com',           'Zemana AntiMalware',        '%', 1),  -- unverified: narrowed from "Zemana", which also matched Zemana AntiLogger
  (140, 'SpySheriff (Spy Sheriff)',    '허위 보안 프로그램', 'Spy Sheriff',             '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\Spy Sheriff
  (141, 'SpywareQuake (.com)',         '허위 보안 프로그램', 'SpywareQuake.com',        '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpywareQuake.com
  (142, 'SpywareSheriff',              '허위 보안 프로그램', 'SpywareSheriff_is1',      '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpywareSheriff_is1
  (143, 'BraveSentry',                 '허위 보안 프로그램', 'BraveSentry',             '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\BraveSentry
  (144, 'AdwareSheriff',               '허위 보안 프로그램', 'AdwareSheriff_is1',       '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\AdwareSheriff_is1
  (145, 'AlfaCleaner',                 '허위 보안 프로그램', 'AlfaCleaner.com_is1',     '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\AlfaCleaner.com_is1
  (146, 'AntivirusGold',               '허위 보안 프로그램', 'antivirusgold',           '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\antivirusgold
  (147, 'MalwareWipe',                 '허위 보안 프로그램', 'MalwareWipe',             '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\MalwareWipe
  (148, 'PSGuard',                     '허위 보안 프로그램', 'PSGuard',                 '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\PSGuard
  (149, 'The Spy Guard',               '허위 보안 프로그램', 'The Spy Guard',           '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\The Spy Guard
  (150, 'SpyKiller',                   '허위 보안 프로그램', 'SpyKiller',               '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\SpyKiller
  (151, 'Spyware Soft Stop',           '허위 보안 프로그램', 'Spyware Soft Stop_is1',   '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\Spyware Soft Stop_is1
  (152, 'WinHound',                    '허위 보안 프로그램', 'WinHound spyware remover', '=', 1),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\WinHound spyware remover
  (153, 'Rid Spyware',                 '허위 보안 프로그램', '{55801C3F-5581-477B-A21B-2BF3B996BEA6}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Rid Spyware; an Inno Setup key)
  (154, 'SmartPCFixer',                '허위 최적화 프로그램', '{2C5927BD-3F65-4207-8FB5-8EDF638A3511}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (SmartPCFixer 4.2; an Inno Setup key)
  (155, 'PC Fix Speed',                '허위 최적화 프로그램', '{F7B34B38-02A6-44D5-B8CC-06EB3B8ACFC9}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (PC Fix Speed 2.2.0.103; an Inno Setup key)
  (156, 'PC Power Speed',              '허위 최적화 프로그램', '{B0C56FD7-493D-44DD-B007-BBB5117D6E6F}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (PC Power Speed 2.1.0.107; an Inno Setup key)
  (157, 'Safety Optimizer',            '허위 최적화 프로그램', '{3A7C5D21-A152-4242-9353-E03089932A81}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Safety Optimizer; an Inno Setup key)
  (158, 'Registry Booster',            '허위 최적화 프로그램', '{E55B3271-7CA8-4D0C-AE06-69A24856E997}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Registry Booster, Uniblue; an Inno Setup key)
  (159, 'SpyHunter (product code)',        'http://www.enigmasoftware.com', '{DDABC667-56B3-4122-82B0-2F5782EA2F9A}', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (SpyHunter; the name key of older versions is row 137)
  (160, 'Uniblue SpeedUpMyPC (Inno Setup)', '허위 최적화 프로그램', '{E55B3271-7CA8-4D0C-AE06-69A24856E996}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (SpeedUpMyPc: the Inno Setup key of the code in row 125)
  (161, 'Spyware Clear',                   '허위 보안 프로그램', '{5FB600FF-BC65-471F-A3F8-C2666863BA75}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Spyware Clear (PC Tech Hotline); an Inno Setup key)
  (162, 'System Checkup',                  '허위 최적화 프로그램', '{4AC7B4E7-59B7-4E48-A60D-263C486FC33A}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (System Checkup 3.5; an Inno Setup key)
  (163, 'Turbo Diagnosis 1',               '허위 최적화 프로그램', '{59680D1A-6A49-4E85-BB42-6886773DF589}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Turbo Diagnosis; an Inno Setup key)
  (164, 'Turbo Diagnosis 2',               '허위 최적화 프로그램', '{BD3C020E-CA6D-44E8-9FA4-93D410D18D70}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Turbo Diagnosis; an Inno Setup key)
  (165, 'WiseFixer',                       '허위 최적화 프로그램', '{900C2AB5-3F37-4F84-B58C-893FA5F42D7D}_is1', '=', 1),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (WiseFixer 3.5; an Inno Setup key)
  (166, 'Malwarebytes Anti-Malware 2',     'http://www.malwarebytes.com',     'Malwarebytes Anti-Malware_is1', '=', 1);  -- source: Inno Setup key of versions 2.x (no apostrophe, unlike the 1.x key of row 132): an unattended-install pack checks ...\Uninstall\Malwarebytes Anti-Malware_is1\DisplayName after installing 2.0.1.1004 (public code index id 41768548176), and a C# inventory tool lists the key among antivirus keys (id 297244417)

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('SpybotSD.exe', 131), ('TeaTimer.exe', 131),
  ('mbam.exe', 132), ('mbamtray.exe', 132),
  ('SUPERAntiSpyware.exe', 133),
  ('SpywareQuake.exe', 104), ('SpywareQuake.exe', 141),
  ('SpywareStrike.exe', 113),
  ('SpyAxe.exe', 105),
  ('MalwareWipe.exe', 147);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpySheriff\', 101),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\WinFixer\', 102),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\ErrorSafe\', 103),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Malwarebytes'' Anti-Malware\', 132),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpywareQuake\', 104),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpywareQuake.com\', 141),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpyAxe\', 105),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpyFalcon\', 107),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpywareStrike\', 113),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\MalwareWipe\', 147),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\AntivirusGold\', 146),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\ShudderLTD\PSGuard\', 148);

-- ---------------------------------------------------------------------------------------
-- Type 2: browser toolbars and the search hijackers that come with them.
-- The removal closes the browser itself, so toolbars list no processes.
-- The search hijackers installed as Windows Installer packages are listed by product
-- code, one row per code.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (201, '네이버 툴바',              'http://tools.naver.com',        'NaverToolbar',     '%', 2),  -- unverified: key of the demo machine; no public installer script; no installer manifest, installer script or removal script in the public indexes names it
  (202, '다음 툴바',                'http://www.daum.net',           'DaumToolbar',      '%', 2),  -- unverified: no public installer script; no installer manifest, installer script or removal script in the public indexes names it
  (203, 'Google Toolbar',           'http://toolbar.google.com',     'Google Toolbar',   '%', 2),  -- unverified: key "Google Toolbar for Internet Explorer" (demo machine); that is the toolbar's display name (its Windows Installer packages register by product code, rows 259 and 260)
  (204, 'Yahoo! Toolbar',           'http://toolbar.yahoo.com',      'Yahoo! Companion', '%', 2),  -- source: a VBScript that removes the Yahoo Toolbar reads ...\Uninstall\Yahoo! Companion\UninstallString
  (205, 'Ask Toolbar',              'http://www.ask.com',            'AskToolbar',       '%', 2),  -- unverified: Inno Setup key "ASKTOOLBAR_is1" (demo machine)
  (239, 'Ask Toolbar (Internet Explorer)', 'http://www.ask.com',   'Ask Toolbar for Internet Explorer_is1', '=', 2),  -- source: a VBScript reads QuietUninstallString of ...\Uninstall\Ask Toolbar for Internet Explorer_is1 (an Inno Setup key: exact)
  (206, 'Babylon Toolbar',          'http://www.babylon.com',        'BabylonToolbar',   '%', 2),  -- unverified: no installer script found
  (207, 'Alexa Toolbar',            'http://www.alexa.com',          'Alexa Toolbar',    '=', 2),  -- source: Clean 2.0 by FRUiT (clean.cmd), a removal batch script: reg delete HKLM\...\Uninstall\Alexa Toolbar
  (208, 'StumbleUpon Toolbar',      '툴바 (서비스 종료)',    'StumbleUpon',      '%', 2),  -- unverified: service closed
  (209, 'Winamp Toolbar',           'http://www.winamp.com',         'Winamp Toolbar',   '%', 2),  -- unverified: product discontinued
  (210, 'MyWebSearch',              '광고 툴바 (애드웨어)',          'MyWebSearch',      '%', 2),  -- unverified: adware, no published installer
  (211, 'Hotbar',                   '광고 툴바 (애드웨어)',          'Hotbar',           '%', 2),  -- unverified: adware, no published installer
  (212, 'Search Protect',           '검색 설정 변경 프로그램',       'SearchProtect',    '%', 2),  -- source: Conduit SP Disinfector (a removal batch script): reg delete ...\Uninstall\SearchProtect
  (213, 'Iminent Toolbar',          '광고 툴바 (애드웨어)',          'Iminent',          '%', 2),  -- unverified: adware; display name "Iminent" in bmrf/tron programs_to_target_by_name.txt
  (214, 'Incredibar',               '광고 툴바 (애드웨어)',          '{336D0C35-8A85-403a-B9D2-65C292C39087}_is1',       '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Incredibar: an Inno Setup key named by its AppId, so the fragment "Incredibar" never met it)
  (215, 'Funmoods Toolbar',         '광고 툴바 (애드웨어)',          'Funmoods',         '%', 2),  -- unverified: adware, no published installer
  (216, 'SweetPacks Toolbar',       '광고 툴바 (애드웨어)',          'SweetPacks',       '%', 2),  -- unverified: adware; display name "SweetPacks" in bmrf/tron programs_to_target_by_name.txt
  (217, 'Delta Toolbar',            '광고 툴바 (애드웨어)',          'Delta Toolbar',    '%', 2),  -- unverified: adware; display name "Delta toolbar" in bmrf/tron programs_to_target_by_name.txt
  (218, 'uTorrentBar',              '광고 툴바 (애드웨어)',          'uTorrentBar',      '%', 2),  -- unverified: adware, no published installer
  (219, 'DVDVideoSoftTB',           '광고 툴바 (애드웨어)',          'DVDVideoSoftTB',   '%', 2),  -- unverified: adware, no published installer
  (220, 'Search App by Ask 1',      '검색 설정 변경 프로그램',       '{4F524A2D-5350-4500-76A7-A758B70C2600}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (221, 'Search App by Ask 2',      '검색 설정 변경 프로그램',       '{5349454E-2D53-5000-76A7-A758B70C2D01}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (222, 'Search App by Ask 3',      '검색 설정 변경 프로그램',       '{43C423D9-E6D6-4607-ADC9-EBB54F690C57}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (223, 'Search App by Ask 4',      '검색 설정 변경 프로그램',       '{4F524A2D-5350-4500-76A7-A758B70C1500}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (224, 'Search App by Ask 5',      '검색 설정 변경 프로그램',       '{4F524A2D-5350-4500-76A7-A758B70C2201}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (225, 'Search App by Ask 6',      '검색 설정 변경 프로그램',       '{4F524A2D-5350-4500-76A7-A758B70C2700}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (226, 'Search App by Ask 7',      '검색 설정 변경 프로그램',       '{4F524A2D-5350-4500-76A7-A758B70C2802}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ask: Search App by Ask)
  (227, 'Ad-Aware Web Companion 1', '검색 설정 변경 프로그램',       '{88B10E3E-8911-4FAC-8663-CCF6E33C58B3}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ad-Aware Web Companion)
  (228, 'Ad-Aware Web Companion 2', '검색 설정 변경 프로그램',       '{FABDFEBE-A430-48B4-89F2-B35594E43965}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ad-Aware Web Companion)
  (229, 'Ad-Aware Web Companion 3', '검색 설정 변경 프로그램',       '{902C3D36-9254-437D-98AC-913B78E60864}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Ad-Aware Web Companion, Ad-Aware Updater)
  (230, 'Advertising Center',       '광고 프로그램 (애드웨어)',      '{3784D297-8089-43B6-B57F-11B7E96413CD}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Advertising Center 0.0.0.2)
  (231, 'Browser Address Error Redirector', '검색 설정 변경 프로그램', '{DF9A6075-9308-4572-8932-A4316243C4D9}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Browser Address Error Redirector)
  (232, 'Bing Bar',                 '툴바 (서비스 종료)',            '{3365E735-48A6-4194-9988-CE59AC5AE503}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Bing Bar, first code of the group)
  (233, 'Amazon 1Button App 1',     '쇼핑 툴바',                     '{134E190A-CE2A-4436-BDEB-387CC36A96C9}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Amazon 1Button App)
  (234, 'Amazon 1Button App 2',     '쇼핑 툴바',                     '{EBCCD2B7-FCA9-4714-97A4-CBC48E544BB2}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Amazon 1Button App)
  (235, 'Snap.Do',                  '검색 설정 변경 프로그램',       '{CC6F61A9-A55E-4D04-A674-7A498CD8B809}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Snap.Do, browser hijacker)
  (236, 'My Way Search Assistant',  '검색 설정 변경 프로그램',       '{05F1B866-2372-4E82-9AA8-C64FB11CEF8B}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (My Way Search Assistant)
  (237, 'ooVoo Teoma Search App',   '검색 설정 변경 프로그램',       '{4F564F2D-5447-006A-76A7-A758B70C2D01}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (ooVoo Teoma Search App)
  (238, 'Level Quality Watcher',    '광고 프로그램 (애드웨어)',      '{19DC5AB8-0792-4875-8F1B-896C5A9CE6AE}', '=', 2),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Level Quality Watcher, adware)
  (240, 'Iminent Toolbar 1',       '광고 툴바 (애드웨어)',          '{5CDCDBCD-119A-4AE1-9C55-B816DBBE4245}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (241, 'Iminent Toolbar 2',       '광고 툴바 (애드웨어)',          '{A76AA284-E52D-47E6-9E4F-B85DBF8E35C3}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (242, 'Iminent Toolbar 3',       '광고 툴바 (애드웨어)',          '{118D6CE9-5F18-42F9-958A-14676A629FDE}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (243, 'Iminent Toolbar 4',       '광고 툴바 (애드웨어)',          '{89B5DFCA-81E0-4EA4-8A0A-4F4087A1DD00}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (244, 'Iminent Toolbar 5',       '광고 툴바 (애드웨어)',          '{F7CF0E9A-D48B-4942-9537-259ED0568DF4}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (245, 'Iminent Toolbar 6',       '광고 툴바 (애드웨어)',          '{29C7E8BE-FBD9-4D91-BC4F-B470C718D554}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Iminent Toolbar)
  (246, 'SweetPacks Toolbar 1',    '광고 툴바 (애드웨어)',          '{96E2E493-C484-43E3-9B95-D62EE7D40D3A}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (IE SweetPacks Toolbar)
  (247, 'SweetPacks Toolbar 2',    '광고 툴바 (애드웨어)',          '{F4E33CE5-A7AB-4F68-A7E7-F0AA84EF2D9E}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (IE SweetPacks Toolbar)
  (248, 'SweetPacks Toolbar 3',    '광고 툴바 (애드웨어)',          '{C3E85EE9-5892-4142-B537-BCEB3DAC4C3D}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (IE SweetPacks Toolbar)
  (249, 'SweetPacks Toolbar 4',    '광고 툴바 (애드웨어)',          '{80F3F10B-A177-4494-93CE-98090D819093}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Internet Explorer Toolbar by SweetPacks)
  (250, 'SweetPacks Toolbar 5',    '광고 툴바 (애드웨어)',          '{DD85D6BF-4787-4A93-99A5-3F0CF0AE8834}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Internet Explorer Toolbar by SweetPacks)
  (251, 'Babylon Toolbar (product code)', '광고 툴바 (애드웨어)',          '{E55E7026-EF2A-4A17-AAA7-DB98EA3FD1B1}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Babylon Toolbar)
  (252, 'Snap.Do 2',                       '검색 설정 변경 프로그램', '{D5E50D52-C658-4C16-9722-9F9B057B5F0F}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (Snap.Do; the first code is row 235)
  (253, 'uTorrentBar 1',                   '광고 툴바 (애드웨어)', '{db131c55-60c8-4adc-84dc-9e76ab06e2dc}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (254, 'uTorrentBar 2',                   '광고 툴바 (애드웨어)', '{c840e246-6b95-475e-9bd7-caa1c7eca9f2}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (255, 'uTorrentBar 3',                   '광고 툴바 (애드웨어)', '{4ae0c3d6-f713-4eed-bc65-25dc3ffdaac1}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (256, 'uTorrentBar 4',                   '광고 툴바 (애드웨어)', '{87775fdb-6972-41f9-ae51-8326e38cb206}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (257, 'uTorrentBar 5',                   '광고 툴바 (애드웨어)', '{e0301295-ab3e-4af3-979f-3d453c5f9f48}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (258, 'uTorrentBar 6',                   '광고 툴바 (애드웨어)', '{bf7380fa-e3b4-4db2-af3e-9d8783a45bfc}', '=', 2),  -- source: bmrf/tron resources/stage_2_de-bloat/oem/toolbars_BHOs_to_target_by_GUID.txt (uTorrentBar_ES / DE / IT / NL / PT Toolbar)
  (259, 'Google Toolbar (MSI 1)',          'http://toolbar.google.com',     '{18455581-E099-4BA8-BC6B-F34B2F06600C}', '=', 2),  -- source: a removal batch script of OEM and bundled programs (public code index id 8917479572) removes "Google Toolbar for Internet Explorer" with msiexec /x {18455581-E099-4BA8-BC6B-F34B2F06600C} and /x {2318C2B1-4965-11d4-9B18-009027A5CD4F}, apart from the Google Update Helper codes it lists under a heading of their own
  (260, 'Google Toolbar (MSI 2)',          'http://toolbar.google.com',     '{2318C2B1-4965-11d4-9B18-009027A5CD4F}', '=', 2);  -- source: the same script as row 259

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\MyWebSearch\', 210),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\BabylonToolbar\', 206);

-- ---------------------------------------------------------------------------------------
-- Type 3: messengers and chat programs.
-- Most of today's messengers install for the current user only (Squirrel and per-user
-- Inno Setup installers); their exact keys are found under HKEY_CURRENT_USER as well.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (301, '네이트온',            'http://nateon.nate.com',         'NateOnMessenger',                             '%', 3),  -- unverified: key of the demo machine, no public installer script; narrowed from "NateOn", which also meets names that join a word ending in "nate" to one beginning with "On" (TerminateOn, DonateOnline); no installer manifest, installer script or removal script in the public indexes names it
  (331, '네이트온 (NateOn)',   'http://nateon.nate.com',         'NateOn',                                      '=', 3),  -- unverified: the program's name as a key, exact for the reason of row 301; installs to "SK Communications\NATEON"; no installer manifest, installer script or removal script in the public indexes names it
  (302, '카카오톡',            'http://www.kakaocorp.com',       'KakaoTalk',                                   '=', 3),  -- source: winget-pkgs manifests/k/Kakao/KakaoTalk/26.3.1.5062 ProductCode (NSIS, machine)
  (303, '버디버디',            '메신저 (서비스 종료)',    'BuddyBuddy',                                  '%', 3),  -- unverified: service closed; no installer manifest, installer script or removal script in the public indexes names it
  (304, 'Skype',               'http://www.skype.com',           'Skype_is1',                                   '=', 3),  -- source: security-check program JBU_PRJ1 Program.cs reads HKLM ...\Uninstall\Skype_is1
  (305, 'Telegram Desktop',    'http://desktop.telegram.org',    '{53F49750-6209-4FBF-9CA8-7A333C87D1ED}_is1',  '=', 3),  -- source: telegramdesktop/tdesktop Telegram/SourceFiles/core/version.h AppId and Setup.iss (Inno Setup, per user); CNRS RESINFO SWMB lists the same key
  (332, 'Telegram Desktop (name key)', 'http://desktop.telegram.org',  'Telegram Desktop',                            '=', 3),  -- source: programs that read ...\Uninstall\Telegram Desktop (a Python tool under HKCU, a C# tool under HKLM) and a clean-up guide that lists the key under HKLM; the Inno Setup installer itself uses the AppId key of row 305
  (306, 'Discord',             'http://discord.com',             'Discord',                                     '=', 3),  -- source: registry forensics reference 6.3 (HKCU ...\Uninstall\Discord, Squirrel); was a fragment that is an English word
  (307, 'Slack',               'http://slack.com',               'slack',                                       '=', 3),  -- source: winget-pkgs manifests/s/SlackTechnologies/Slack/4.49.81 ProductCode
  (308, 'Zoom',                'http://zoom.us',                 'ZoomUMX',                                     '=', 3),  -- source: registry forensics reference 6.4 (...\Uninstall\ZoomUMX)
  (309, 'Microsoft Teams',     'http://www.microsoft.com/microsoft-teams', 'Teams',                             '=', 3),  -- source: registry forensics reference 6.1 (HKCU ...\Uninstall\Teams, per-user classic Teams)
  (310, 'WhatsApp',            'http://www.whatsapp.com',        'WhatsApp',                                    '=', 3),  -- source: registry forensics reference 6.8 (HKCU ...\Uninstall\WhatsApp)
  (311, 'WeChat',              'http://www.wechat.com',          'WeChat',                                      '=', 3),  -- source: winget-pkgs manifests/t/Tencent/WeChat/3.9.12.57 ProductCode; exact so that WeChat Work (WXWork) stays out
  (312, 'Viber',               'http://www.viber.com',           'Viber',                                       '%', 3),  -- unverified: key of the old installer; today's MSI packages register by product code (rows 322-324)
  (313, 'Yahoo! Messenger',    'http://messenger.yahoo.com',     'Yahoo! Messenger',                            '%', 3),  -- source: OpenVAS detection scripts read ...\Uninstall\Yahoo! Messenger
  (314, 'Google Talk',         'http://www.google.com/talk',     'Google Talk',                                 '=', 3),  -- unverified: exact so that the Google Talk Plugin (a different product) stays out
  (315, 'Pidgin',              'http://pidgin.im',               'Pidgin',                                      '=', 3),  -- source: winget-pkgs manifests/p/Pidgin/Pidgin/2.14.14 ProductCode
  (316, 'Trillian',            'http://www.trillian.im',         'Trillian',                                    '%', 3),  -- source: OpenVAS detection script reads ...\Uninstall\Trillian
  (317, 'Miranda IM',          '메신저 (개발 중단)',      'Miranda IM',                                  '%', 3),  -- source: Miranda IM NSIS installer WriteRegStr ...\Uninstall\Miranda IM (older installers: "Miranda IM_is1", also matched)
  (318, 'TeamSpeak 3 Client',  'http://www.teamspeak.com',       'TeamSpeak 3 Client',                          '=', 3),  -- source: TeamSpeak launchers and mod managers read HKLM and HKCU ...\Uninstall\TeamSpeak 3 Client
  (319, 'mIRC',                'http://www.mirc.com',            'mIRC',                                        '=', 3),  -- source: AutoHotkey application tests read and delete HKLM ...\Uninstall\mIRC; an NSIS script and an Inno Setup script of mIRC add-ons read its UninstallString and InstallLocation there
  (320, 'HexChat',             'http://hexchat.github.io',       'HexChat_is1',                                 '=', 3),  -- source: winget-pkgs manifests/h/HexChat/HexChat/2.16.2 ProductCode
  (321, 'LINE',                'http://line.me',                 'LINE',                                        '=', 3),  -- source: winget-pkgs manifests/l/LINE/LINE/9.4.0.3476 AppsAndFeaturesEntries ProductCode (per user); JBU_PRJ1 Program.cs reads HKCU ...\Uninstall\LINE
  (322, 'Viber 28.9',          'http://www.viber.com',           '{45495D0F-2D7B-4C13-9222-CF8137C8B4ED}',      '=', 3),  -- source: winget-pkgs manifests/r/Rakuten/Viber/28.9.0.0 ProductCode (MSI, changes with every version)
  (323, 'Viber 27.9',          'http://www.viber.com',           '{D431C36B-881E-4E90-B9C2-5CB871F43A11}',      '=', 3),  -- source: winget-pkgs manifests/r/Rakuten/Viber/27.9.0.0 ProductCode
  (324, 'Viber 26.8',          'http://www.viber.com',           '{D99C983D-A3EC-44A3-840A-3C69D66EFDD5}',      '=', 3),  -- source: winget-pkgs manifests/r/Rakuten/Viber/26.8.4.0 ProductCode
  (325, 'Facebook Messenger',  '메신저',                         '{7204BDEE-1A48-4D95-A964-44A9250B439E}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Facebook Messenger 2.1.4814.0)
  (326, 'Windows Live Messenger 1', '메신저 (서비스 종료)',      '{A85FD55B-891B-4314-97A5-EA96C0BD80B5}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Messenger)
  (327, 'Windows Live Messenger 2', '메신저 (서비스 종료)',      '{EB4DF488-AAEF-406F-A341-CB2AAA315B90}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Messenger)
  (328, 'Windows Live Messenger 3', '메신저 (서비스 종료)',      '{E5B21F11-6933-4E0B-A25C-7963E3C07D11}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Messenger)
  (329, 'Windows Live Messenger 4', '메신저 (서비스 종료)',      '{2A3FC24C-6EC0-4519-A52B-FDA4EA9B2D24}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Messenger)
  (330, 'Windows Live Messenger 5', '메신저 (서비스 종료)',      '{6057E21C-ABE9-4059-AE3E-3BEB9925E660}',      '=', 3),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Messenger)
  (333, 'Microsoft Teams for work or school',    'http://www.microsoft.com/microsoft-teams', 'MSTeams',                   '=', 3);  -- source: registry forensics reference 6.1 (...\Uninstall\MSTeams, the new Teams client); the classic client's key is row 309

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('NateOnMain.exe', 301),
  ('NateOnMain.exe', 331),
  ('KakaoTalk.exe', 302),
  ('Skype.exe', 304),
  ('Telegram.exe', 305),
  ('Telegram.exe', 332),
  ('Discord.exe', 306),
  ('slack.exe', 307),
  ('Zoom.exe', 308),
  ('Teams.exe', 309),
  ('WhatsApp.exe', 310),
  ('WeChat.exe', 311),
  ('Viber.exe', 312),
  ('YahooMessenger.exe', 313),
  ('googletalk.exe', 314),
  ('pidgin.exe', 315),
  ('trillian.exe', 316),
  ('miranda32.exe', 317),
  ('ts3client_win32.exe', 318), ('ts3client_win64.exe', 318),
  ('mirc.exe', 319),
  ('hexchat.exe', 320),
  ('LINE.exe', 321),
  ('Viber.exe', 322), ('Viber.exe', 323), ('Viber.exe', 324),
  ('msnmsgr.exe', 326), ('msnmsgr.exe', 327), ('msnmsgr.exe', 328), ('msnmsgr.exe', 329), ('msnmsgr.exe', 330);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Skype\Phone\', 304),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\pidgin\', 315);

-- ---------------------------------------------------------------------------------------
-- Type 4: P2P file-sharing and web-storage (webhard, cloud) clients.
-- Services that have closed keep a description instead of their old address, whose
-- domain may since have passed to someone else (the same holds in the other categories).
-- iMesh is given exactly now: as a fragment it occurred in ordinary words (timesheet).
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (401, '소리바다',        'http://www.soribada.com',       'Soribada',            '%', 4),  -- unverified: key "Soribada6" of the demo machine; no public installer script; no installer manifest, installer script or removal script in the public indexes names it
  (402, '프루나',          'P2P 파일 공유 (서비스 종료)',          'Pruna',               '%', 4),  -- unverified: service closed
  (403, '클럽박스',        '웹하드 (서비스 종료)',      'Clubbox',             '%', 4),  -- unverified: service closed
  (404, '위디스크',        'http://www.wedisk.co.kr',       'WeDisk',              '%', 4),  -- unverified: no public installer script; no installer manifest, installer script or removal script in the public indexes names it
  (405, '파일노리',        'http://www.filenori.com',       'Filenori',            '%', 4),  -- unverified: no public installer script; no installer manifest, installer script or removal script in the public indexes names it
  (406, 'uTorrent',        'http://www.utorrent.com',       'uTorrent',            '=', 4),  -- source: registry forensics reference 11.2 (HKCU ...\Uninstall\uTorrent); OpenVAS detection scripts read the same key
  (407, 'BitTorrent',      'http://www.bittorrent.com',     'BitTorrent',          '=', 4),  -- source: BitTorrent NSIS installer script WriteRegStr HKLM ...\Uninstall\BitTorrent; exact, so that BitTorrent Sync (now Resilio Sync) and forks stay apart
  (408, 'qBittorrent',     'http://www.qbittorrent.org',    'qBittorrent',         '=', 4),  -- source: qBittorrent NSIS installer WriteRegStr HKLM ...\Uninstall\qBittorrent
  (409, 'BitComet',        'http://www.bitcomet.com',       'BitComet',            '%', 4),  -- source: winget-pkgs manifests/b/BitComet/BitComet/1.88 ProductCode BitComet_x64 (a fragment, so that the 32-bit key BitComet is found as well)
  (410, 'Deluge',          'http://deluge-torrent.org',     'Deluge',              '=', 4),  -- source: winget-pkgs manifests/d/DelugeTeam/Deluge/2.2.0 AppsAndFeaturesEntries ProductCode
  (411, 'Vuze',            'http://www.vuze.com',           '8461-7759-5462-8226', '=', 4),  -- unverified: install4j application id of Vuze
  (412, 'Tixati',          'http://www.tixati.com',         'Tixati',              '%', 4),  -- unverified: winget-pkgs manifests/t/Tixati/Tixati/3.19 is a portable package without a key
  (413, 'eMule',           'http://www.emule-project.net',  'eMule',               '=', 4),  -- source: winget-pkgs manifests/e/eMule/eMule/0.50a/eMule.eMule.installer.yaml and manifests/e/eMule/eMule/community/0.72a/eMule.eMule.community.installer.yaml (nullsoft, ProductCode eMule)
  (414, 'Shareaza',        'http://shareaza.sourceforge.net', 'Shareaza_is1',      '=', 4),  -- source: Shareaza Inno Setup scripts (DefaultDirName {reg:HKLM\...\Uninstall\Shareaza_is1,...}; they delete the old NSIS key "Shareaza")
  (415, 'LimeWire',        'P2P 파일 공유 (서비스 종료)',       'LimeWire',            '%', 4),  -- unverified: service closed
  (416, 'FrostWire',       'http://www.frostwire.com',      'FrostWire 6',           '=', 4),  -- source: winget-pkgs manifests/f/FrostWire/FrostWire/7.0.3.330 ProductCode "FrostWire 6" (kept by version 7); exact, since the fragment "FrostWire" also met the FrostWire Toolbar, a different (Conduit) product
  (417, 'Kazaa',           'P2P 파일 공유 (서비스 종료)',          'Kazaa',               '%', 4),  -- unverified: service closed
  (418, 'BearShare',       'P2P 파일 공유 (서비스 종료)',      'BearShare',           '%', 4),  -- unverified: service closed
  (419, 'iMesh',           'P2P 파일 공유 (서비스 종료)',          'iMesh',               '=', 4),  -- unverified: service closed; exact because "imesh" is part of ordinary words
  (420, 'Dropbox',         'http://www.dropbox.com',        'Dropbox',             '=', 4),  -- source: registry forensics reference 5.2 (...\Uninstall\Dropbox); Chocolatey dropbox package reads HKLM and HKCU ...\Uninstall\Dropbox
  (421, 'MEGAsync',        'http://mega.nz',                'MEGAsync',            '=', 4),  -- source: registry forensics reference 5.6 (...\Uninstall\MEGAsync)
  (422, 'Resilio Sync',    'http://www.resilio.com',        'Resilio Sync',        '=', 4),  -- source: a Rust sync tool looks for HKCU and HKLM ...\Uninstall\Resilio Sync
  (423, 'Transmission',    'http://transmissionbt.com',     'Transmission',        '=', 4),  -- source: registry forensics reference 11.3 (...\Uninstall\Transmission)
  (424, 'pCloud Drive',    'http://www.pcloud.com',         'pCloud',              '=', 4),  -- source: registry forensics reference 5.7 (...\Uninstall\pCloud)
  (425, 'Nextcloud',       'http://nextcloud.com',          'Nextcloud',           '=', 4),  -- source: registry forensics reference 5.8 (...\Uninstall\Nextcloud)
  (426, 'Windows Live Mesh 1', '웹 저장소 동기화 (서비스 종료)', '{841F1FB4-FDF8-461C-A496-3E1CFD84C0B5}', '=', 4),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Mesh)
  (427, 'Windows Live Mesh 2', '웹 저장소 동기화 (서비스 종료)', '{A0C91188-C88F-4E86-93E6-CD7C9A266649}', '=', 4),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Mesh)
  (428, 'Windows Live Mesh 3', '웹 저장소 동기화 (서비스 종료)', '{2902F983-B4C1-44BA-B85D-5C6D52E2C441}', '=', 4),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Mesh)
  (429, 'Windows Live Mesh 4', '웹 저장소 동기화 (서비스 종료)', '{DECDCB7C-58CC-4865-91AF-627F9798FE48}', '=', 4),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Mesh)
  (430, 'Windows Live Sync',   '웹 저장소 동기화 (서비스 종료)', '{84EBDF39-4B33-49D7-A0BD-EB6E2C4E81C1}', '=', 4),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Windows Live Sync)
  (431, 'BitTorrent Sync',                       'P2P 파일 동기화 (Resilio Sync의 이전 이름)', 'BitTorrent Sync',           '=', 4),  -- source: AutoIt deployment scripts for BitTorrent Sync read ...\Uninstall\BitTorrent Sync; renamed Resilio Sync (row 422)
  (432, 'Shareaza (NSIS)',                       'http://shareaza.sourceforge.net', 'Shareaza',                  '=', 4),  -- source: Shareaza Inno Setup scripts delete the old NSIS key ...\Uninstall\Shareaza of earlier installers (row 414 is the Inno Setup key)
  (433, 'Google Drive',                          'http://drive.google.com',         '{6BBAE539-2232-434A-A4E5-9A33560C6283}', '=', 4);  -- source: winget-pkgs manifests/g/Google/GoogleDrive/124.0.3.0 ProductCode (the same code in every version)

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('uTorrent.exe', 406),
  ('BitTorrent.exe', 407),
  ('qbittorrent.exe', 408),
  ('BitComet.exe', 409),
  ('deluge.exe', 410),
  ('Azureus.exe', 411),
  ('tixati.exe', 412),
  ('emule.exe', 413),
  ('Shareaza.exe', 414),
  ('LimeWire.exe', 415),
  ('FrostWire.exe', 416),
  ('Kazaa.exe', 417),
  ('BearShare.exe', 418),
  ('iMesh.exe', 419),
  ('Dropbox.exe', 420),
  ('MEGAsync.exe', 421),
  ('Resilio Sync.exe', 422),
  ('transmission-qt.exe', 423),
  ('pCloud.exe', 424),
  ('nextcloud.exe', 425);

-- uTorrent's class key (SOFTWARE\Classes\uTorrent, the file type and link handler it
-- registers) is not listed: class registrations are never deleted by path (the deletion
-- rule refuses every key below SOFTWARE\Classes), since a file type or handler may since
-- belong to another program; uTorrent's own uninstaller removes its registrations.
INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\qBittorrent\', 408),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\BitComet\', 409);

-- ---------------------------------------------------------------------------------------
-- Type 9: commercial software that needs a purchased licence.
-- Adobe Creative Cloud names its uninstall keys after the product's SAP code and version
-- (PHSP_22_2, ILST_27_7 ...); Microsoft Office after the edition (Office14.PROPLUS,
-- Office16.PROPLUS, PROPLUS for Office 2007, ProPlus2021Retail - ko-kr, HomeBusinessRetail -
-- ko-kr, O365ProPlusRetail - ko-kr for Microsoft 365 Apps); AutoCAD by product code.
-- "ProPlus" was narrowed to ".PROPLUS" and per-edition rows, since it also matched
-- O365ProPlusRetail (Microsoft 365 Apps, now its own row); "AutoCAD" to "AutoCAD 20" and
-- product codes, since it also matched AutoCADBallet (a free plug-in) and AutoCADPro.
-- Not listed: Bandizip (its key "Bandizip" is the same for the free edition, winget-pkgs
-- manifests/b/Bandisoft/Bandizip/7.36 ProductCode). The fragments "Navicat" and "WinZip" were
-- replaced by exact keys: "Navicat" also matched the free Navicat Premium Lite, "WinZip"
-- also matched WinZip Driver Updater and other programs of the vendor, while WinZip itself
-- registers by product code.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (901, '알집',                                 'http://www.altools.co.kr',        'ALZip',                     '=', 9),  -- unverified: key of the demo machine; exact because "alzip" occurs inside other names (TotalZip, FinalZip); no installer manifest, installer script or removal script in the public indexes names it
  (902, '반디캠',                               'http://www.bandicam.com',         'Bandicam',                  '=', 9),  -- source: winget-pkgs manifests/b/BandicamCompany/Bandicam/27.0.6.2686/BandicamCompany.Bandicam.installer.yaml (nullsoft installer, ProductCode and AppsAndFeaturesEntries ProductCode Bandicam, publisher Bandicam.com)
  (903, 'EditPlus',                             'http://www.editplus.com',         'EditPlus',                  '=', 9),  -- source: winget-pkgs manifests/e/ES-Computing/EditPlus/6.1.780.0 ProductCode
  (904, 'WinRAR',                               'http://www.rarlab.com',           'WinRAR archiver',           '=', 9),  -- source: winget-pkgs manifests/r/RARLab/WinRAR/7.23.0 ProductCode; registry forensics reference 12.2
  (906, 'Microsoft Office Professional Plus',   'http://office.microsoft.com',     '.PROPLUS',                  '%', 9),  -- source: reg delete ...\Uninstall\Office14.PROPLUS in an Office removal batch script; ...\Uninstall\Office16.PROPLUS in several Office detection and clean-up scripts. Narrowed from "ProPlus", which also matched O365ProPlusRetail (Microsoft 365 Apps for enterprise)
  (907, 'Microsoft Office Home and Student',    'http://office.microsoft.com',     'HomeStudent',               '%', 9),  -- source: reg delete ...\Uninstall\Office14.HOMESTUDENTR and \HOMESTUDENTR (Office 2007) in an Office removal batch script
  (908, 'Microsoft Office Home and Business',   'http://office.microsoft.com',     'HomeBusiness',              '%', 9),  -- source: a WAPT package (Access Runtime 2016) lists the entry HomeBusinessRetail - fr-fr, "Microsoft Office Famille et Petite Entreprise 2016"
  (909, 'Adobe Photoshop',                      'http://www.adobe.com/products/photoshop.html',    'PHSP_', '%', 9),  -- source: Uninstall-AdobeApps (a PowerShell module) lists ...\Uninstall\PHSP_22_2 and \PHSP_26_4; a PowerShell script reads \PHSP_23_3. Creative Cloud keys carry the version
  (910, 'Adobe Illustrator',                    'http://www.adobe.com/products/illustrator.html',  'ILST_', '%', 9),  -- source: Uninstall-AdobeApps lists ...\Uninstall\ILST_25_0_1, \ILST_27_7, \ILST_27_8; a PowerShell script reads \ILST_26_2_1
  (911, 'Adobe Premiere Pro',                   'http://www.adobe.com/products/premiere.html',     'PPRO_', '%', 9),  -- unverified: no script naming a PPRO_ key found; PPRO is Premiere Pro's SAP code (CEP cache folders PPRO_25.3.0_...) and Creative Cloud names keys <SAP code>_<version> (AEFT_24_5, PHSP_25_9_1, ILST_28_6 in an Adobe removal component, rows 909, 910, 912)
  (912, 'Adobe After Effects',                  'http://www.adobe.com/products/aftereffects.html', 'AEFT_', '%', 9),  -- source: an Adobe removal component (PowerShell, public code index id 62056415804) turns the Uninstall key names of Creative Cloud apps into SAP codes, with the example AEFT_24_5 (besides PHSP_25_9_1, ILST_28_6, ILSTBETA_28_8); AEFT is After Effects' SAP code
  (913, 'Adobe InDesign',                       'http://www.adobe.com/products/indesign.html',     'IDSN_', '%', 9),  -- source: Uninstall-AdobeApps lists ...\Uninstall\IDSN_17_4_2 and \IDSN_18_5_4
  (914, 'AutoCAD',                              'http://www.autodesk.com/products/autocad',        'AutoCAD 20', '%', 9),  -- source: an AutoCAD removal batch script deletes ...\Uninstall\AutoCAD 2010 Language Pack - Simplified Chinese. Narrowed from "AutoCAD", which also matched AutoCADBallet (a free plug-in) and AutoCADPro ("Auto CAD Pro"); the program itself registers by product code (rows 937-941)
  (915, 'Total Commander',                      'http://www.ghisler.com',          'Totalcmd',                  '%', 9),  -- source: AutoHotkey application tests read ...\Uninstall\Totalcmd; a C# tool checks Totalcmd64 as well (winget-pkgs manifests/g/Ghisler/TotalCommander/11.58 states no key)
  (916, 'Beyond Compare',                       'http://www.scootersoftware.com',  'BeyondCompare',             '%', 9),  -- source: winget-pkgs manifests/s/ScooterSoftware/BeyondCompare/5/5.2.6.32774 ProductCode BeyondCompare5_is1 (the key carries the major version)
  (950, 'Beyond Compare 5',                     'http://www.scootersoftware.com',  'Beyond Compare 5_is1',      '=', 9),  -- source: a PowerShell script checks ...\Uninstall\Beyond Compare 5_is1 (HKLM and WOW6432Node) beside the winget key BeyondCompare5_is1 of row 916, which the fragment of row 916 does not meet
  (917, 'PowerISO',                             'http://www.poweriso.com',         'PowerISO',                  '=', 9),  -- source: winget-pkgs manifests/p/PowerSoftware/PowerISO/9.5.0.0 ProductCode
  (918, 'UltraISO',                             'http://www.ezbsystems.com',       'UltraISO_is1',              '=', 9),  -- source: Inno Setup key UltraISO_is1, read by an unattended-install pack's check for UltraISO 9.6.1 (...\Uninstall\UltraISO_is1\DisplayName, public code index id 41768548176) and listed by an OCS Inventory dump as the key of "UltraISO Premium V9.33" (id 49788092215); exact because the AppId is the same across versions
  (919, 'UltraEdit',                            'http://www.ultraedit.com',        'UltraEdit',                 '%', 9),  -- unverified: no installer manifest with its key found
  (920, 'Sublime Text',                         'http://www.sublimetext.com',      'Sublime Text',              '%', 9),  -- source: winget-pkgs manifests/s/SublimeHQ/SublimeText/4/4.0.0.421500 ProductCode Sublime Text_is1; version 3 used "Sublime Text 3_is1"
  (921, 'Internet Download Manager',            'http://www.internetdownloadmanager.com', 'Internet Download Manager', '=', 9),  -- source: winget-pkgs manifests/t/Tonec/InternetDownloadManager/6.42.38 ProductCode
  (923, 'PhpStorm',                             'http://www.jetbrains.com/phpstorm', 'PhpStorm',                '%', 9),  -- source: winget-pkgs manifests/j/JetBrains/PHPStorm/2023.3.4 AppsAndFeaturesEntries ProductCode "PhpStorm 2023.3.4" (the key carries the release)
  (925, 'Navicat Premium 17',                   'http://www.navicat.com',          'Navicat 17 Premium_is1',    '=', 9),  -- source: winget-pkgs manifests/p/PremiumSoft/NavicatPremium/17.3.11 ProductCode; exact, the free Lite edition is "Navicat 17 Premium Lite_is1"
  (926, 'WinZip 1',                             'http://www.winzip.com',           '{CD95F661-A5C4-44F5-A6AA-ECDD91C240ED}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (WinZip, various versions)
  (927, 'WinZip 2',                             'http://www.winzip.com',           '{CD95F661-A5C4-44F5-A6AA-ECDD91C240CD}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (WinZip, various versions)
  (928, 'WinZip 3',                             'http://www.winzip.com',           '{CD95F661-A5C4-44F5-A6AA-ECDD91C240C3}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (WinZip, various versions)
  (929, 'WinZip 4',                             'http://www.winzip.com',           '{CD95F661-A5C4-44F5-A6AA-ECDD91C240CF}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (WinZip, various versions)
  (930, 'WinZip 5',                             'http://www.winzip.com',           '{CD95F661-A5C4-44F5-A6AA-ECDD91C240E3}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (WinZip, various versions)
  (931, 'Nitro Pro 8 (1)',                      'http://www.gonitro.com',          '{2269F0D5-DE47-4313-9003-BB6357919314}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 8)
  (932, 'Nitro Pro 8 (2)',                      'http://www.gonitro.com',          '{392C767D-4EE2-49B5-A3B4-A4C3AB6DC145}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 8)
  (933, 'Nitro Pro 8 (3)',                      'http://www.gonitro.com',          '{6E7DFD3E-2E89-4F35-B4F2-D3301A4AD190}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 8)
  (934, 'Nitro Pro 9 (1)',                      'http://www.gonitro.com',          '{70B831B7-A8EE-4C5F-8F34-F383D24B3A04}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 9)
  (935, 'Nitro Pro 9 (2)',                      'http://www.gonitro.com',          '{1E067071-56A8-43EF-9526-73FF8CE5825A}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 9)
  (936, 'Nitro Pro 9 (3)',                      'http://www.gonitro.com',          '{DEE5747D-4DF1-412F-B438-DBB7919B68B8}', '=', 9),  -- source: bmrf/tron programs_to_target_by_GUID.txt (Nitro Pro 9)
  (937, 'AutoCAD 2008',                         'http://www.autodesk.com/products/autocad',        '{5783F2D7-6001-0804-0002-0060B0CE6BBA}', '=', 9),  -- source: AutoCAD removal batch script, msiexec /x (2008, 32-bit)
  (938, 'AutoCAD 2010',                         'http://www.autodesk.com/products/autocad',        '{5783F2D7-8001-0804-0002-0060B0CE6BBA}', '=', 9),  -- source: AutoCAD removal batch script, msiexec /x and reg delete ...\Uninstall\ (2010, 32-bit)
  (939, 'AutoCAD 2010 (64-bit)',                'http://www.autodesk.com/products/autocad',        '{5783F2D7-8001-0804-0102-0060B0CE6BBA}', '=', 9),  -- source: AutoCAD removal batch script, msiexec /x and reg delete ...\Uninstall\ (2010, 64-bit)
  (940, 'AutoCAD 2014',                         'http://www.autodesk.com/products/autocad',        '{5783F2D7-D001-0000-0002-0060B0CE6BBA}', '=', 9),  -- source: AutoCAD removal batch script, msiexec /x (2014, 32-bit)
  (941, 'AutoCAD 2014 (64-bit)',                'http://www.autodesk.com/products/autocad',        '{5783F2D7-D001-0000-0102-0060B0CE6BBA}', '=', 9),  -- source: AutoCAD removal batch script, msiexec /x (2014, 64-bit)
  (942, 'Microsoft Office Professional Plus 2007', 'http://office.microsoft.com',   'PROPLUS',                   '=', 9),  -- source: reg delete ...\Uninstall\PROPLUS (Office 2007 keys carry no version) in an Office removal batch script
  (943, 'Microsoft Office Professional Plus 2019', 'http://office.microsoft.com',   'ProPlus2019',               '%', 9),  -- source: an Office removal script (PowerShell, public code index id 69760438404) reads the Click-to-Run Uninstall keys as "<product release id> - <culture>" and names the release ids ProPlus2019Retail and ProPlus2019Volume; keys of the 2021 and 2024 editions in that form: ProPlus2021Retail - es-es, ProPlus2021Volume - en-us, ProPlus2024Volume - en-us (rows 944, 945)
  (944, 'Microsoft Office Professional Plus 2021', 'http://office.microsoft.com',   'ProPlus2021',               '%', 9),  -- source: ...\Uninstall\ProPlus2021Retail - es-es read by a C# tool, \ProPlus2021Volume - en-us in a detection script, \ProPlus2021Retail - en-us in a clean-up script
  (945, 'Microsoft Office Professional Plus 2024', 'http://office.microsoft.com',   'ProPlus2024',               '%', 9),  -- source: ...\Uninstall\ProPlus2024Volume - en-us in Configuration Manager detection clauses
  (946, 'Microsoft 365 Apps for enterprise',    'http://office.microsoft.com',     'O365ProPlusRetail',         '%', 9),  -- source: ...\Uninstall\O365ProPlusRetail - en-us with DisplayName "Microsoft 365 Apps for enterprise - en-us" (a registry detection script; the listing of a test machine in a PowerShell uninstall helper)
  (947, 'Microsoft Office Professional 2010',   'http://office.microsoft.com',     'Office14.PROR',             '=', 9),  -- source: reg delete ...\Uninstall\Office14.PROR in an Office removal batch script; exact because "Office14.PRO" begins Office14.PROPLUS
  (948, 'Microsoft Office Standard 2010',       'http://office.microsoft.com',     'Office14.STANDARDR',        '=', 9),  -- source: reg delete ...\Uninstall\Office14.STANDARDR in an Office removal batch script
  (949, 'Adobe Dreamweaver',                    'http://www.adobe.com/products/dreamweaver.html',  'DRWV_', '%', 9),  -- source: Uninstall-AdobeApps lists ...\Uninstall\DRWV_21_4
  (924, '한컴오피스',                           'http://www.hancom.com',           'HncOffice',                 '%', 9),  -- unverified: winget-pkgs manifests/h/Hancom/Office/11.0.0.1 states no key; fragment of the demo machine's key; no installer manifest, installer script or removal script in the public indexes names it
  (951, 'Microsoft Office Enterprise 2010',      'http://office.microsoft.com',     'Office14.ENTERPRISE',       '=', 9),  -- source: reg delete ...\Uninstall\Office14.ENTERPRISE in an Office removal batch script
  (952, 'Microsoft Office Enterprise 2010 (R)',  'http://office.microsoft.com',     'Office14.ENTERPRISER',      '=', 9),  -- source: reg delete ...\Uninstall\Office14.ENTERPRISER in an Office removal batch script
  (953, 'Microsoft Office Ultimate 2010',        'http://office.microsoft.com',     'Office14.ULTIMATE',         '=', 9),  -- source: reg delete ...\Uninstall\Office14.ULTIMATE in an Office removal batch script
  (954, 'Microsoft Office Ultimate 2010 (R)',    'http://office.microsoft.com',     'Office14.ULTIMATER',        '=', 9),  -- source: reg delete ...\Uninstall\Office14.ULTIMATER in an Office removal batch script
  (955, 'Microsoft Office Professional 2010 (2)', 'http://office.microsoft.com',     'Office14.PRO',              '=', 9),  -- source: reg delete ...\Uninstall\Office14.PRO in an Office removal batch script
  (956, 'Microsoft Office Small Business 2010',  'http://office.microsoft.com',     'Office14.SMALLBUSINESSR',   '=', 9),  -- source: reg delete ...\Uninstall\Office14.SMALLBUSINESSR in an Office removal batch script
  (957, 'Microsoft Office Enterprise 2007',      'http://office.microsoft.com',     'ENTERPRISE',                '=', 9),  -- source: reg delete ...\Uninstall\ENTERPRISE in an Office removal batch script (Office 2007 keys carry no version)
  (958, 'Microsoft Office Enterprise 2007 (R)',  'http://office.microsoft.com',     'ENTERPRISER',               '=', 9),  -- source: reg delete ...\Uninstall\ENTERPRISER in an Office removal batch script (Office 2007 keys carry no version)
  (959, 'Microsoft Office Ultimate 2007',        'http://office.microsoft.com',     'ULTIMATE',                  '=', 9),  -- source: reg delete ...\Uninstall\ULTIMATE in an Office removal batch script (Office 2007 keys carry no version)
  (960, 'Microsoft Office Ultimate 2007 (R)',    'http://office.microsoft.com',     'ULTIMATER',                 '=', 9),  -- source: reg delete ...\Uninstall\ULTIMATER in an Office removal batch script (Office 2007 keys carry no version)
  (961, 'Microsoft Office Professional 2007',    'http://office.microsoft.com',     'PRO',                       '=', 9),  -- source: reg delete ...\Uninstall\PRO in an Office removal batch script (Office 2007 keys carry no version)
  (962, 'Microsoft Office Professional 2007 (R)', 'http://office.microsoft.com',     'PROR',                      '=', 9),  -- source: reg delete ...\Uninstall\PROR in an Office removal batch script (Office 2007 keys carry no version)
  (963, 'Microsoft Office Standard 2007',        'http://office.microsoft.com',     'STANDARDR',                 '=', 9),  -- source: reg delete ...\Uninstall\STANDARDR in an Office removal batch script (Office 2007 keys carry no version)
  (964, 'Microsoft Office Small Business 2007',  'http://office.microsoft.com',     'SMALLBUSINESSR',            '=', 9),  -- source: reg delete ...\Uninstall\SMALLBUSINESSR in an Office removal batch script (Office 2007 keys carry no version)
  (965, 'Microsoft Visio Professional 2016',     'http://office.microsoft.com',     'Office16.VISIOPRO',         '=', 9);  -- source: ...\Uninstall\Office16.VISIOPRO in Office detection and clean-up scripts

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('ALZip.exe', 901),
  ('bdcam.exe', 902),
  ('editplus.exe', 903),
  ('WinRAR.exe', 904),
  ('WINWORD.EXE', 906), ('EXCEL.EXE', 906), ('POWERPNT.EXE', 906),
  ('WINWORD.EXE', 907), ('EXCEL.EXE', 907), ('POWERPNT.EXE', 907),
  ('WINWORD.EXE', 908), ('EXCEL.EXE', 908), ('POWERPNT.EXE', 908),
  ('Photoshop.exe', 909),
  ('Illustrator.exe', 910),
  ('Adobe Premiere Pro.exe', 911),
  ('AfterFX.exe', 912),
  ('InDesign.exe', 913),
  ('acad.exe', 914),
  ('acad.exe', 937),
  ('acad.exe', 938),
  ('acad.exe', 939),
  ('acad.exe', 940),
  ('acad.exe', 941),
  ('WINWORD.EXE', 942), ('EXCEL.EXE', 942), ('POWERPNT.EXE', 942),
  ('WINWORD.EXE', 943), ('EXCEL.EXE', 943), ('POWERPNT.EXE', 943),
  ('WINWORD.EXE', 944), ('EXCEL.EXE', 944), ('POWERPNT.EXE', 944),
  ('WINWORD.EXE', 945), ('EXCEL.EXE', 945), ('POWERPNT.EXE', 945),
  ('WINWORD.EXE', 946), ('EXCEL.EXE', 946), ('POWERPNT.EXE', 946),
  ('WINWORD.EXE', 947), ('EXCEL.EXE', 947), ('POWERPNT.EXE', 947),
  ('WINWORD.EXE', 948), ('EXCEL.EXE', 948), ('POWERPNT.EXE', 948),
  ('Dreamweaver.exe', 949),
  ('TOTALCMD.EXE', 915), ('TOTALCMD64.EXE', 915),
  ('BCompare.exe', 916),
  ('BCompare.exe', 950),
  ('PowerISO.exe', 917),
  ('UltraISO.exe', 918),
  ('uedit32.exe', 919), ('uedit64.exe', 919),
  ('sublime_text.exe', 920),
  ('IDMan.exe', 921),
  ('phpstorm64.exe', 923),
  ('Hwp.exe', 924), ('HCell.exe', 924), ('HShow.exe', 924),
  ('navicat.exe', 925),
  ('winzip32.exe', 926), ('winzip64.exe', 926), ('winzip32.exe', 927), ('winzip64.exe', 927),
  ('winzip32.exe', 928), ('winzip64.exe', 928), ('winzip32.exe', 929), ('winzip64.exe', 929),
  ('winzip32.exe', 930), ('winzip64.exe', 930),
  ('NitroPDF.exe', 931), ('NitroPDF.exe', 932), ('NitroPDF.exe', 933),
  ('NitroPDF.exe', 934), ('NitroPDF.exe', 935), ('NitroPDF.exe', 936);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\WinRAR\', 904),  -- WinRAR's help ("WinRAR.ini file") names HKEY_LOCAL_MACHINE\Software\WinRAR and HKEY_CURRENT_USER\Software\WinRAR as its settings keys; one level below SOFTWARE, allowed because it carries the product's name
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Ghisler\Total Commander\', 915),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Internet Download Manager\', 921);
