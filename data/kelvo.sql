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
-- the subkey names; '=' means the exact subkey name. Fragments are chosen so that they
-- cannot occur in the key of an unrelated product, and an exact name is only given where
-- it is known for certain.
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
-- they are.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (101, 'SpySheriff',                 '허위 보안 프로그램', 'SpySheriff',                '%', 1),
  (102, 'WinFixer',                   '허위 보안 프로그램', 'WinFixer',                  '%', 1),
  (103, 'ErrorSafe',                  '허위 보안 프로그램', 'ErrorSafe',                 '%', 1),
  (104, 'SpywareQuake',               '허위 보안 프로그램', 'SpywareQuake',              '%', 1),
  (105, 'SpyAxe',                     '허위 보안 프로그램', 'SpyAxe',                    '%', 1),
  (106, 'PestTrap',                   '허위 보안 프로그램', 'PestTrap',                  '%', 1),
  (107, 'SpyFalcon',                  '허위 보안 프로그램', 'SpyFalcon',                 '%', 1),
  (108, 'DriveCleaner',               '허위 보안 프로그램', 'DriveCleaner',              '%', 1),
  (109, 'WinAntiVirus Pro',           '허위 보안 프로그램', 'WinAntiVirus',              '%', 1),
  (110, 'SystemDoctor',               '허위 보안 프로그램', 'SystemDoctor',              '%', 1),
  (111, 'MalwareAlarm',               '허위 보안 프로그램', 'MalwareAlarm',              '%', 1),
  (112, 'SpyLocked',                  '허위 보안 프로그램', 'SpyLocked',                 '%', 1),
  (113, 'SpywareStrike',              '허위 보안 프로그램', 'SpywareStrike',             '%', 1),
  (114, 'WinSpywareProtect',          '허위 보안 프로그램', 'WinSpywareProtect',         '%', 1),
  (115, 'SpyCrush',                   '허위 보안 프로그램', 'SpyCrush',                  '%', 1),
  (116, 'SpyHeal',                    '허위 보안 프로그램', 'SpyHeal',                   '%', 1),
  (117, 'UltimateCleaner',            '허위 보안 프로그램', 'UltimateCleaner',           '%', 1),
  (118, 'WinPCDefender',              '허위 보안 프로그램', 'WinPCDefender',             '%', 1),
  (131, 'Spybot - Search & Destroy',  'http://www.safer-networking.org', 'Spybot - Search & Destroy', '%', 1),
  (132, 'Malwarebytes',               'http://www.malwarebytes.com',     'Malwarebytes',              '%', 1),
  (133, 'SUPERAntiSpyware',           'http://www.superantispyware.com', 'SUPERAntiSpyware',          '%', 1),
  (134, 'Ad-Aware',                   'http://www.lavasoft.com',         'Ad-Aware',                  '%', 1),
  (135, 'Spyware Doctor',             'http://www.pctools.com',          'Spyware Doctor',            '%', 1),
  (136, 'Spyware Terminator',         'http://www.spywareterminator.com', 'Spyware Terminator',       '%', 1),
  (137, 'SpyHunter',                  'http://www.enigmasoftware.com',   'SpyHunter',                 '%', 1),
  (138, 'HitmanPro',                  'http://www.hitmanpro.com',        'HitmanPro',                 '%', 1),
  (139, 'Zemana AntiMalware',         'http://www.zemana.com',           'Zemana',                    '%', 1);

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('SpybotSD.exe', 131), ('TeaTimer.exe', 131),
  ('mbam.exe', 132), ('mbamtray.exe', 132),
  ('SUPERAntiSpyware.exe', 133);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\SpySheriff\', 101),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\WinFixer\', 102),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\ErrorSafe\', 103),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Malwarebytes'' Anti-Malware\', 132);

-- ---------------------------------------------------------------------------------------
-- Type 2: browser toolbars and the search hijackers that come with them.
-- The removal closes the browser itself, so toolbars list no processes.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (201, '네이버 툴바',              'http://tools.naver.com',        'NaverToolbar',     '%', 2),
  (202, '다음 툴바',                'http://www.daum.net',           'DaumToolbar',      '%', 2),
  (203, 'Google Toolbar',           'http://toolbar.google.com',     'Google Toolbar',   '%', 2),
  (204, 'Yahoo! Toolbar',           'http://toolbar.yahoo.com',      'Yahoo! Companion', '%', 2),
  (205, 'Ask Toolbar',              'http://www.ask.com',            'AskToolbar',       '%', 2),
  (206, 'Babylon Toolbar',          'http://www.babylon.com',        'BabylonToolbar',   '%', 2),
  (207, 'Alexa Toolbar',            'http://www.alexa.com',          'Alexa Toolbar',    '%', 2),
  (208, 'StumbleUpon Toolbar',      '툴바 (서비스 종료)',    'StumbleUpon',      '%', 2),
  (209, 'Winamp Toolbar',           'http://www.winamp.com',         'Winamp Toolbar',   '%', 2),
  (210, 'MyWebSearch',              '광고 툴바 (애드웨어)',          'MyWebSearch',      '%', 2),
  (211, 'Hotbar',                   '광고 툴바 (애드웨어)',          'Hotbar',           '%', 2),
  (212, 'Search Protect',           '검색 설정 변경 프로그램',       'SearchProtect',    '%', 2),
  (213, 'Iminent Toolbar',          '광고 툴바 (애드웨어)',          'Iminent',          '%', 2),
  (214, 'Incredibar',               '광고 툴바 (애드웨어)',          'Incredibar',       '%', 2),
  (215, 'Funmoods Toolbar',         '광고 툴바 (애드웨어)',          'Funmoods',         '%', 2),
  (216, 'SweetPacks Toolbar',       '광고 툴바 (애드웨어)',          'SweetPacks',       '%', 2),
  (217, 'Delta Toolbar',            '광고 툴바 (애드웨어)',          'Delta Toolbar',    '%', 2),
  (218, 'uTorrentBar',              '광고 툴바 (애드웨어)',          'uTorrentBar',      '%', 2),
  (219, 'DVDVideoSoftTB',           '광고 툴바 (애드웨어)',          'DVDVideoSoftTB',   '%', 2);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\MyWebSearch\', 210),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\BabylonToolbar\', 206);

-- ---------------------------------------------------------------------------------------
-- Type 3: messengers and chat programs.
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (301, '네이트온',            'http://nateon.nate.com',         'NateOn',                                      '%', 3),
  (302, '카카오톡',            'http://www.kakaocorp.com',       'KakaoTalk',                                   '%', 3),
  (303, '버디버디',            '메신저 (서비스 종료)',    'BuddyBuddy',                                  '%', 3),
  (304, 'Skype',               'http://www.skype.com',           'Skype_is1',                                   '=', 3),
  (305, 'Telegram Desktop',    'http://desktop.telegram.org',    '{53F49750-6209-4FBF-9CA8-7A333C87D1ED}_is1',  '=', 3),
  (306, 'Discord',             'http://discord.com',             'Discord',                                     '%', 3),
  (307, 'Slack',               'http://slack.com',               'slack',                                       '=', 3),
  (308, 'Zoom',                'http://zoom.us',                 'ZoomUMX',                                     '=', 3),
  (309, 'Microsoft Teams',     'http://www.microsoft.com/microsoft-teams', 'Teams',                             '=', 3),
  (310, 'WhatsApp',            'http://www.whatsapp.com',        'WhatsApp',                                    '%', 3),
  (311, 'WeChat',              'http://www.wechat.com',          'WeChat',                                      '%', 3),
  (312, 'Viber',               'http://www.viber.com',           'Viber',                                       '%', 3),
  (313, 'Yahoo! Messenger',    'http://messenger.yahoo.com',     'Yahoo! Messenger',                            '%', 3),
  (314, 'Google Talk',         'http://www.google.com/talk',     'Google Talk',                                 '%', 3),
  (315, 'Pidgin',              'http://pidgin.im',               'Pidgin',                                      '=', 3),
  (316, 'Trillian',            'http://www.trillian.im',         'Trillian',                                    '%', 3),
  (317, 'Miranda IM',          '메신저 (개발 중단)',      'Miranda IM',                                  '%', 3),
  (318, 'TeamSpeak 3 Client',  'http://www.teamspeak.com',       'TeamSpeak 3 Client',                          '%', 3),
  (319, 'mIRC',                'http://www.mirc.com',            'mIRC',                                        '=', 3),
  (320, 'HexChat',             'http://hexchat.github.io',       'HexChat_is1',                                 '=', 3);

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('NateOnMain.exe', 301),
  ('KakaoTalk.exe', 302),
  ('Skype.exe', 304),
  ('Telegram.exe', 305),
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
  ('hexchat.exe', 320);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Skype\Phone\', 304),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\pidgin\', 315);

-- ---------------------------------------------------------------------------------------
-- Type 4: P2P file-sharing and web-storage (webhard, cloud) clients.
-- Services that have closed keep a description instead of their old address, whose
-- domain may since have passed to someone else (the same holds in the other categories).
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (401, '소리바다',        'http://www.soribada.com',       'Soribada',            '%', 4),
  (402, '프루나',          'P2P 파일 공유 (서비스 종료)',          'Pruna',               '%', 4),
  (403, '클럽박스',        '웹하드 (서비스 종료)',      'Clubbox',             '%', 4),
  (404, '위디스크',        'http://www.wedisk.co.kr',       'WeDisk',              '%', 4),
  (405, '파일노리',        'http://www.filenori.com',       'Filenori',            '%', 4),
  (406, 'uTorrent',        'http://www.utorrent.com',       'uTorrent',            '=', 4),
  (407, 'BitTorrent',      'http://www.bittorrent.com',     'BitTorrent',          '=', 4),
  (408, 'qBittorrent',     'http://www.qbittorrent.org',    'qBittorrent',         '=', 4),
  (409, 'BitComet',        'http://www.bitcomet.com',       'BitComet',            '=', 4),
  (410, 'Deluge',          'http://deluge-torrent.org',     'Deluge',              '=', 4),
  (411, 'Vuze',            'http://www.vuze.com',           '8461-7759-5462-8226', '=', 4),
  (412, 'Tixati',          'http://www.tixati.com',         'Tixati',              '%', 4),
  (413, 'eMule',           'http://www.emule-project.net',  'eMule',               '=', 4),
  (414, 'Shareaza',        'http://shareaza.sourceforge.net', 'Shareaza_is1',      '=', 4),
  (415, 'LimeWire',        'P2P 파일 공유 (서비스 종료)',       'LimeWire',            '%', 4),
  (416, 'FrostWire',       'http://www.frostwire.com',      'FrostWire',           '%', 4),
  (417, 'Kazaa',           'P2P 파일 공유 (서비스 종료)',          'Kazaa',               '%', 4),
  (418, 'BearShare',       'P2P 파일 공유 (서비스 종료)',      'BearShare',           '%', 4),
  (419, 'iMesh',           'P2P 파일 공유 (서비스 종료)',          'iMesh',               '%', 4),
  (420, 'Dropbox',         'http://www.dropbox.com',        'Dropbox',             '=', 4),
  (421, 'MEGAsync',        'http://mega.nz',                'MEGAsync',            '%', 4),
  (422, 'Resilio Sync',    'http://www.resilio.com',        'Resilio Sync',        '%', 4);

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
  ('Resilio Sync.exe', 422);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Classes\uTorrent\', 406),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\qBittorrent\', 408),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\BitComet\', 409);

-- ---------------------------------------------------------------------------------------
-- Type 9: commercial software that needs a purchased licence.
-- Adobe Creative Cloud names its uninstall keys after the product code and version
-- (PHSP_22_0 and so on); Microsoft Office after the edition (Office16.PROPLUS,
-- O365ProPlusRetail - ko-kr, HomeStudentRetail - ko-kr ...).
-- ---------------------------------------------------------------------------------------
INSERT INTO tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) VALUES
  (901, '알집',                                 'http://www.altools.co.kr',        'ALZip',                     '%', 9),
  (902, '반디캠',                               'http://www.bandicam.com',         'Bandicam',                  '=', 9),
  (903, 'EditPlus',                             'http://www.editplus.com',         'EditPlus',                  '%', 9),
  (904, 'WinRAR',                               'http://www.rarlab.com',           'WinRAR archiver',           '=', 9),
  (905, 'WinZip',                               'http://www.winzip.com',           'WinZip',                    '%', 9),
  (906, 'Microsoft Office Professional Plus',   'http://office.microsoft.com',     'ProPlus',                   '%', 9),
  (907, 'Microsoft Office Home and Student',    'http://office.microsoft.com',     'HomeStudent',               '%', 9),
  (908, 'Microsoft Office Home and Business',   'http://office.microsoft.com',     'HomeBusiness',              '%', 9),
  (909, 'Adobe Photoshop',                      'http://www.adobe.com/products/photoshop.html',    'PHSP_', '%', 9),
  (910, 'Adobe Illustrator',                    'http://www.adobe.com/products/illustrator.html',  'ILST_', '%', 9),
  (911, 'Adobe Premiere Pro',                   'http://www.adobe.com/products/premiere.html',     'PPRO_', '%', 9),
  (912, 'Adobe After Effects',                  'http://www.adobe.com/products/aftereffects.html', 'AEFT_', '%', 9),
  (913, 'Adobe InDesign',                       'http://www.adobe.com/products/indesign.html',     'IDSN_', '%', 9),
  (914, 'AutoCAD',                              'http://www.autodesk.com/products/autocad',        'AutoCAD', '%', 9),
  (915, 'Total Commander',                      'http://www.ghisler.com',          'Totalcmd',                  '%', 9),
  (916, 'Beyond Compare',                       'http://www.scootersoftware.com',  'BeyondCompare',             '%', 9),
  (917, 'PowerISO',                             'http://www.poweriso.com',         'PowerISO',                  '%', 9),
  (918, 'UltraISO',                             'http://www.ezbsystems.com',       'UltraISO',                  '%', 9),
  (919, 'UltraEdit',                            'http://www.ultraedit.com',        'UltraEdit',                 '%', 9),
  (920, 'Sublime Text',                         'http://www.sublimetext.com',      'Sublime Text',              '%', 9),
  (921, 'Internet Download Manager',            'http://www.internetdownloadmanager.com', 'Internet Download Manager', '=', 9),
  (922, 'Navicat',                              'http://www.navicat.com',          'Navicat',                   '%', 9),
  (923, 'PhpStorm',                             'http://www.jetbrains.com/phpstorm', 'PhpStorm',                '%', 9);

INSERT INTO tb_process_list (process_name, mst_Seq) VALUES
  ('ALZip.exe', 901),
  ('bdcam.exe', 902),
  ('editplus.exe', 903),
  ('WinRAR.exe', 904),
  ('winzip32.exe', 905), ('winzip64.exe', 905),
  ('WINWORD.EXE', 906), ('EXCEL.EXE', 906), ('POWERPNT.EXE', 906),
  ('WINWORD.EXE', 907), ('EXCEL.EXE', 907), ('POWERPNT.EXE', 907),
  ('WINWORD.EXE', 908), ('EXCEL.EXE', 908), ('POWERPNT.EXE', 908),
  ('Photoshop.exe', 909),
  ('Illustrator.exe', 910),
  ('Adobe Premiere Pro.exe', 911),
  ('AfterFX.exe', 912),
  ('InDesign.exe', 913),
  ('acad.exe', 914),
  ('TOTALCMD.EXE', 915), ('TOTALCMD64.EXE', 915),
  ('BCompare.exe', 916),
  ('PowerISO.exe', 917),
  ('UltraISO.exe', 918),
  ('uedit32.exe', 919), ('uedit64.exe', 919),
  ('sublime_text.exe', 920),
  ('IDMan.exe', 921),
  ('navicat.exe', 922),
  ('phpstorm64.exe', 923);

INSERT INTO tb_registry_list (registry_key, mst_Seq) VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\WinRAR\', 904),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Ghisler\Total Commander\', 915),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Internet Download Manager\', 921);
