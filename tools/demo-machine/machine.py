#!/usr/bin/env python3
"""Builds the demo machine's files and registry data.

    machine.py DRIVE_C OUT_DIR

Writes the program files, add-on libraries (with version resources, built with the
MinGW cross tools), shortcuts and stand-in executables below DRIVE_C, and the registry
data as OUT_DIR/machine.reg (UTF-16, so that Hangul names import intact).
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# The places programs register in: the 64-bit view of the machine, its 32-bit view
# (WOW6432Node, where 32-bit installers write) and the current user (per-user installs).
WOW = r"HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node"
UNINSTALL = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
UNINSTALL32 = WOW + r"\Microsoft\Windows\CurrentVersion\Uninstall"
USER_UNINSTALL = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ARP = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Management\ARPCache"
ARP32 = WOW + r"\Microsoft\Windows\CurrentVersion\App Management\ARPCache"
PRODUCTS = r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Installer\Products"
CLSID = r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID"
CLSID32 = r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Wow6432Node\CLSID"
BHO = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Explorer\Browser Helper Objects"
BHO32 = WOW + r"\Microsoft\Windows\CurrentVersion\Explorer\Browser Helper Objects"
TOOLBAR = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer\Toolbar"
TOOLBAR32 = WOW + r"\Microsoft\Internet Explorer\Toolbar"
EXTENSIONS = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer\Extensions"
EXTENSIONS32 = WOW + r"\Microsoft\Internet Explorer\Extensions"
MENUEXT = r"HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\MenuExt"
RUN = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
RUN32 = WOW + r"\Microsoft\Windows\CurrentVersion\Run"
USER_RUN = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"
UNITS = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Code Store Database\Distribution Units"
UNITS32 = WOW + r"\Microsoft\Code Store Database\Distribution Units"
STARTUP = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\StartUp"

# ---------------------------------------------------------------------------------------
# Libraries with version resources: file -> (company, description). Hangul strings are
# stored as UTF-16 in the resource.
LIBRARIES = {
    r"C:\Program Files (x86)\Google\Google Toolbar\GoogleToolbar_32.dll": ("Google Inc.", "Google Toolbar"),
    r"C:\Program Files (x86)\NAVER\NaverToolbar\NaverToolbar.dll": ("NHN Corporation", "네이버 툴바"),
    r"C:\windows\system32\wlidbho.dll": ("Microsoft Corporation", "Windows Live ID 로그인 도우미"),
    r"C:\Program Files\Microsoft Office\root\Office16\ONBttnIE.dll": ("Microsoft Corporation", "Send to OneNote from Internet Explorer button"),
    r"C:\Program Files (x86)\Java\jre1.8.0_311\bin\ssv.dll": ("Oracle Corporation", "Java(TM) Platform SE binary"),
    r"C:\windows\System32\Macromed\Flash\Flash32_32_0_0_465.ocx": ("Adobe", "Adobe Flash Player 32.0 r0"),
    r"C:\windows\Downloaded Program Files\INISAFECrossWebEX.ocx": ("INITECH", "INISAFE CrossWeb EX"),
}

# Plain files that entries point to (content does not matter).
FILES = [
    r"C:\windows\Installer\{23170F69-40C1-2702-1900-000001000000}\7z.ico",
    r"C:\windows\Installer\{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}\vc.ico",
    r"C:\Program Files\7-Zip\7zFM.exe",
    r"C:\Program Files\Notepad++\notepad++.exe",
    r"C:\Program Files\Notepad++\uninstall.exe",
    r"C:\Program Files (x86)\Notepad++\notepad++.exe",
    r"C:\Program Files (x86)\Notepad++\uninstall.exe",
    r"C:\Program Files\Google\Chrome\Application\chrome.exe",
    r"C:\Program Files\Google\Chrome\Application\120.0.6099.130\Installer\setup.exe",
    r"C:\Program Files (x86)\HNC\Office 2020\HOffice110\Bin\Hwp.exe",
    r"C:\Program Files\AhnLab\V3Lite40\V3Lite.exe",
    r"C:\Program Files\AhnLab\V3Lite40\Uninst.exe",
    r"C:\Program Files (x86)\Wizvera\Veraport20\unins000.exe",
    r"C:\Program Files\DAUM\PotPlayer\PotPlayerMini64.exe",
    r"C:\Program Files\DAUM\PotPlayer\uninstall.exe",
    r"C:\users\Public\Downloads\ezPDF\setup\ezPDF.msi",
    r"C:\Program Files (x86)\Kakao\KakaoTalk\KakaoTalk.exe",
    r"C:\Program Files (x86)\Kakao\KakaoTalk\uninstall.exe",
    r"C:\Program Files\Spybot - Search & Destroy 2\unins000.exe",
    r"C:\Program Files (x86)\Malwarebytes' Anti-Malware\mbam.exe",
    r"C:\Program Files (x86)\Malwarebytes' Anti-Malware\unins000.exe",
    r"C:\Program Files (x86)\NAVER\NaverToolbar\uninstall.exe",
    r"C:\Program Files (x86)\NAVER\NaverUpdate\NaverUpdate.exe",
    r"C:\Program Files (x86)\Google\Google Toolbar\Component\GoogleToolbarManager.exe",
    r"C:\Program Files (x86)\NATE\NateOn\NateOnMain.exe",
    r"C:\Program Files (x86)\NATE\NateOn\uninst.exe",
    r"C:\Program Files (x86)\Skype\Phone\Skype.exe",
    r"C:\Program Files\BitTorrent\BitTorrent.exe",
    r"C:\Program Files (x86)\SORIBADA\Soribada6\uninstall.exe",
    r"C:\Program Files (x86)\ESTsoft\ALZip\ALZip.exe",
    r"C:\Program Files (x86)\ESTsoft\ALZip\unins000.exe",
    r"C:\Program Files\WinRAR\WinRAR.exe",
    r"C:\Program Files\WinRAR\uninstall.exe",
    r"C:\Program Files\Bandicam\uninstall.exe",
    r"C:\Program Files\Common Files\Microsoft Shared\OFFICE16\Office Setup Controller\setup.exe",
    r"C:\Program Files\Adobe\Adobe Photoshop 2021\Photoshop.exe",
    r"C:\Program Files\Adobe\Adobe Photoshop 2022\Photoshop.exe",
    r"C:\Program Files (x86)\Common Files\Adobe\Adobe Desktop Common\HDBox\Uninstaller.exe",
    r"C:\Program Files\Messenger\msmsgs.exe",
    r"C:\windows\system32\igfxtray.exe",
    r"C:\windows\soundman.exe",
    r"C:\windows\system32\hkcmd.exe",
    r"C:\windows\system32\RTHDCPL.EXE",
    r"C:\Program Files\Microsoft OneDrive\OneDrive.exe",
    STARTUP + r"\Daum 클리너.lnk",
    STARTUP + r"\EPSON Status Monitor 3.LNK",
    STARTUP + r"\Adobe Gamma Loader.Lnk",
    STARTUP + r"\desktop.ini",
]

# ---------------------------------------------------------------------------------------
# Registry data: key path -> list of (value name, value) where value is a str (REG_SZ),
# an int (REG_DWORD) or bytes (REG_BINARY). Keys are written in this order.
REG = []


def key(path, *values):
    REG.append((path, list(values)))


def slow_info_cache(path):
    """A 552-byte ARP cache record with the UTF-16 program path at byte 28."""
    record = bytearray(552)
    record[0:4] = (552).to_bytes(4, "little")
    encoded = path.encode("utf-16-le")
    record[28:28 + len(encoded)] = encoded
    return bytes(record)


def packed(guid):
    """The installer's packed product code of a {GUID}."""
    g = guid.strip("{}").replace("-", "")
    parts = [g[0:8], g[8:12], g[12:16]]
    out = "".join(p[::-1] for p in parts)
    rest = g[16:]
    out += "".join(rest[i:i + 2][::-1] for i in range(0, len(rest), 2))
    return out.upper()


def entry(name, root=UNINSTALL, **values):
    key(root + "\\" + name, *values.items())


# Windows Installer products (product cache plus their uninstall entries).
SEVEN_ZIP = "{23170F69-40C1-2702-1900-000001000000}"
VC2015 = "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}"
VC_ADDITIONAL = "{7D0B74C2-C3F8-4AF1-940F-CD79AB4B2DCE}"
EZPDF = "{5D3B6E8C-3F7A-4C2B-9E0D-7A1C2B3D4E5F}"
key(PRODUCTS + "\\" + packed(SEVEN_ZIP), ("ProductName", "7-Zip 19.00 (x64 edition)"),
    ("ProductIcon", "C:\\windows\\Installer\\" + SEVEN_ZIP + "\\7z.ico"))
key(PRODUCTS + "\\" + packed(VC2015), ("ProductName", "Microsoft Visual C++ 2015-2019 Redistributable (x64) - 14.28.29913"),
    ("ProductIcon", "C:\\windows\\Installer\\" + VC2015 + "\\vc.ico"))
key(PRODUCTS + "\\" + packed(EZPDF), ("ProductName", "ezPDF Reader 2.0"))   # no icon
key(PRODUCTS + "\\{00000000-TNK0-DEMO-0000-000000000000}", ("ProductName", "not a packed code"),
    ("ProductIcon", r"C:\windows\Installer\never.ico"))

entry(SEVEN_ZIP, DisplayName="7-Zip 19.00 (x64 edition)", Publisher="Igor Pavlov",
      UninstallString="MsiExec.exe /I" + SEVEN_ZIP, InstallLocation="C:\\Program Files\\7-Zip\\",
      URLInfoAbout="http://www.7-zip.org/", DisplayIcon=r"C:\Program Files\7-Zip\gone.ico")
entry(VC2015, DisplayName="Microsoft Visual C++ 2015-2019 Redistributable (x64) - 14.28.29913",
      Publisher="Microsoft Corporation", UninstallString="MsiExec.exe /X" + VC2015)
entry(VC_ADDITIONAL, DisplayName="Microsoft Visual C++ 2019 X64 Additional Runtime - 14.28.29913",
      Publisher="Microsoft Corporation", UninstallString="MsiExec.exe /I" + VC_ADDITIONAL, SystemComponent=1)
entry(EZPDF, DisplayName="ezPDF Reader 2.0", Publisher="Unidocs", UninstallString="MsiExec.exe /X" + EZPDF,
      InstallSource="C:\\users\\Public\\Downloads\\ezPDF\\setup\\")

# Hotfixes and system entries.
entry("KB2467173", DisplayName="Microsoft Visual C++ 2010 x86 재배포 가능 패키지 업데이트 (KB2467173)",
      Publisher="Microsoft Corporation", UninstallString=r"C:\windows\system32\msiexec.exe /uninstall KB2467173")
entry("KB958488", DisplayName="Microsoft .NET Framework 3.5 SP1 보안 업데이트 (KB958488)",
      Publisher="Microsoft Corporation", UninstallString=r"C:\windows\$NtUninstallKB958488$\spuninst\spuninst.exe",
      SystemComponent=1)
entry("KB971033", DisplayName="Windows 정품 인증 기술 업데이트 (KB971033)",
      UninstallString=r"C:\windows\system32\wusa.exe /uninstall /kb:971033", SystemComponent=1)
entry("Connection Manager", SystemComponent=1)
entry("AddressBook")
entry("WIC", UninstallString=r"C:\windows\$NtUninstallWIC$\spuninst\spuninst.exe",
      HelpLink="http://support.microsoft.com/?kbid=971644")
entry("Office16.PROPLUS", DisplayName="Microsoft Office Professional Plus 2016", Publisher="Microsoft Corporation",
      UninstallString='"C:\\Program Files\\Common Files\\Microsoft Shared\\OFFICE16\\Office Setup Controller\\setup.exe" /uninstall PROPLUS /dll OSETUP.DLL',
      URLInfoAbout="http://www.microsoft.com/office", SystemComponent=0)
entry("{90160000-0011-0000-0000-0000000FF1CE}", DisplayName="Microsoft Office Professional Plus 2016",
      ParentKeyName="Office16.PROPLUS", UninstallString="MsiExec.exe /X{90160000-0011-0000-0000-0000000FF1CE}")

# Ordinary programs: quoted and unquoted commands, icons from every source.
entry("Notepad++", DisplayName="Notepad++ (64-bit x64)", Publisher="Notepad++ Team",
      UninstallString='"C:\\Program Files\\Notepad++\\uninstall.exe"', URLInfoAbout="   ",
      HelpLink=" https://notepad-plus-plus.org/ ", DisplayIcon=r"C:\Program Files\Notepad++\notepad++.exe")
entry("Google Chrome", DisplayName="Google Chrome", Publisher="Google LLC",
      UninstallString='"C:\\Program Files\\Google\\Chrome\\Application\\120.0.6099.130\\Installer\\setup.exe" --uninstall --system-level',
      DisplayIcon=r"C:\Program Files\Google\Chrome\Application\chrome.exe,0")
entry("HncOffice2020", root=UNINSTALL32, DisplayName="한컴오피스 2020", Publisher="한글과컴퓨터",
      UninstallString=r"C:\Program Files (x86)\HNC\Office 2020\HOffice110\Bin\Setup\HncSetup.exe /uninstall",
      DisplayIcon=r'"C:\\Program Files (x86)\\HNC\\Office 2020\\HOffice110\\Bin\\Hwp.exe",-101',
      URLInfoAbout="http://www.hancom.com")
entry("V3 Lite", DisplayName="V3 Lite", Publisher="AhnLab, Inc.",
      UninstallString='"C:\\Program Files\\AhnLab\\V3Lite40\\Uninst.exe" -Uninstall', URLInfoAbout="http://www.ahnlab.com")
entry("Veraport", root=UNINSTALL32, DisplayName="Veraport G3", Publisher="Wizvera",
      UninstallString=r"C:\Program Files (x86)\Wizvera\Veraport20\unins000.exe /SILENT")
entry("PotPlayer64", DisplayName="다음 팟플레이어 (64-bit)", Publisher="Kakao Corp.",
      UninstallString=r"C:\Program Files\DAUM\PotPlayer\uninstall.exe")
key(ARP + "\\PotPlayer64", ("SlowInfoCache", slow_info_cache(r"  C:\Program Files\DAUM\PotPlayer\PotPlayerMini64.exe ")))
entry("Adobe Flash Player ActiveX", root=UNINSTALL32, DisplayName="Adobe Flash Player 32 ActiveX", Publisher="Adobe",
      UninstallString=r"C:\windows\SysWOW64\Macromed\Flash\FlashUtil32_32_0_0_465_ActiveX.exe -maintain activex")
key(ARP32 + "\\Adobe Flash Player ActiveX",
    ("SlowInfoCache", slow_info_cache(r"C:\windows\SysWOW64\Macromed\Flash\FlashUtil32_32_0_0_465_ActiveX.exe")))
entry("Broken Leftover", DisplayName="Broken Leftover", UninstallString="")
# The same key name in two places: the 32-bit build of a program beside its 64-bit one,
# and a per-user install.
entry("Notepad++", root=UNINSTALL32, DisplayName="Notepad++ (32-bit x86)", Publisher="Notepad++ Team",
      UninstallString='"C:\\Program Files (x86)\\Notepad++\\uninstall.exe"',
      DisplayIcon=r"C:\Program Files (x86)\Notepad++\notepad++.exe")
entry("OneDriveSetup.exe", root=USER_UNINSTALL, DisplayName="Microsoft OneDrive", Publisher="Microsoft Corporation",
      UninstallString=r"C:\Program Files\Microsoft OneDrive\23.226.1031.0001\OneDriveSetup.exe /uninstall",
      DisplayIcon=r"C:\Program Files\Microsoft OneDrive\OneDrive.exe,0", URLInfoAbout="https://onedrive.live.com/")

# Signature products, category 1 (fragments only in the shipped data).
entry("Spybot - Search & Destroy_is1", DisplayName="Spybot - Search & Destroy", Publisher="Safer-Networking Ltd.",
      UninstallString='"C:\\Program Files\\Spybot - Search & Destroy 2\\unins000.exe"')
entry("Malwarebytes' Anti-Malware_is1", DisplayName="Malwarebytes Anti-Malware 버전 1.75.0.1300",
      UninstallString='"C:\\Program Files (x86)\\Malwarebytes\' Anti-Malware\\unins000.exe"',
      DisplayIcon=r"C:\Program Files (x86)\Malwarebytes' Anti-Malware\mbam.exe")
entry("WinFixer 2006", UninstallString=r"C:\Program Files\WinFixer\uninstall.exe")
entry("SpySheriff", DisplayName="SpySheriff")  # no uninstall command: not found by a fragment

# Category 2.
entry("NaverToolbar", DisplayName="네이버 툴바", Publisher="NAVER Corp.",
      UninstallString=r"C:\Program Files (x86)\NAVER\NaverToolbar\uninstall.exe")
entry("Google Toolbar for Internet Explorer", DisplayName="Google 툴바 (Internet Explorer용)",
      UninstallString='"C:\\Program Files (x86)\\Google\\Google Toolbar\\Component\\GoogleToolbarManager.exe" /uninstall',
      DisplayIcon=r"C:\Program Files (x86)\Google\Google Toolbar\GoogleToolbar_32.dll,0")
entry("ASKTOOLBAR_is1", DisplayName="Ask Toolbar", UninstallString=r"C:\Program Files (x86)\Ask.com\Uninstall.exe")

# Category 3: exact names, per-user installs and fragments.
entry("NateOnMessenger", DisplayName="네이트온", Publisher="SK Communications",
      UninstallString=r"C:\Program Files (x86)\NATE\NateOn\uninst.exe", DisplayIcon=r"C:\Program Files (x86)\NATE\NateOn\NateOnMain.exe")
entry("KakaoTalk", DisplayName="카카오톡", Publisher="Kakao Corp.",
      UninstallString=r"C:\Program Files (x86)\Kakao\KakaoTalk\uninstall.exe /S")
entry("Skype_is1", DisplayName="Skype 버전 8.110", UninstallString=r"C:\Program Files (x86)\Skype\unins000.exe",
      DisplayIcon=r"C:\Program Files (x86)\Skype\Phone\Skype.exe")
entry("slack", root=USER_UNINSTALL, DisplayName="Slack",
      UninstallString=r"C:\users\Public\AppData\Local\slack\Update.exe --uninstall -s")
entry("ZoomUMX", root=USER_UNINSTALL, DisplayName="Zoom", UninstallString=r"C:\users\Public\Zoom\uninstall\Installer.exe /uninstall")
entry("Discord", root=USER_UNINSTALL, DisplayName="Discord", UninstallString=r"C:\users\Public\Discord\Update.exe --uninstall")

# Category 4.
entry("Soribada6", DisplayName="소리바다 6", UninstallString=r"C:\Program Files (x86)\SORIBADA\Soribada6\uninstall.exe")
entry("BitTorrent", DisplayName="BitTorrent", UninstallString='"C:\\Program Files\\BitTorrent\\BitTorrent.exe" /UNINSTALL',
      DisplayIcon='"C:\\Program Files\\BitTorrent\\BitTorrent.exe"')
entry("uTorrent", root=USER_UNINSTALL, DisplayName="µTorrent", UninstallString=r"C:\users\Public\uTorrent\uTorrent.exe /UNINSTALL")
entry("Dropbox")  # exact name present without any values

# Category 9.
entry("ALZip", DisplayName="알집", Publisher="ESTsoft Corp.",
      UninstallString=r"C:\Program Files (x86)\ESTsoft\ALZip\unins000.exe")
entry("WinRAR archiver", DisplayName="WinRAR 6.02 (64-bit)", UninstallString=r"C:\Program Files\WinRAR\uninstall.exe",
      DisplayIcon=r"C:\Program Files\WinRAR\WinRAR.exe")
entry("Bandicam", UninstallString=r"C:\Program Files\Bandicam\uninstall.exe")  # no display name
entry("PHSP_22_0", DisplayName="Adobe Photoshop 2021", Publisher="Adobe Inc.",
      UninstallString='"C:\\Program Files (x86)\\Common Files\\Adobe\\Adobe Desktop Common\\HDBox\\Uninstaller.exe" --uninstall=1 --sapCode=PHSP --productVersion=22.0',
      DisplayIcon=r"C:\Program Files\Adobe\Adobe Photoshop 2021\Photoshop.exe")
entry("PHSP_23_1", DisplayName="Adobe Photoshop 2022", Publisher="Adobe Inc.",
      UninstallString='"C:\\Program Files (x86)\\Common Files\\Adobe\\Adobe Desktop Common\\HDBox\\Uninstaller.exe" --uninstall=1 --sapCode=PHSP --productVersion=23.1',
      DisplayIcon=r"C:\Program Files\Adobe\Adobe Photoshop 2022\Photoshop.exe")

# ---------------------------------------------------------------------------------------
# Internet Explorer add-ons.
GOOGLE_HELPER = "{AA58ED58-01DD-4D91-8333-CF10577473F7}"
GOOGLE_BAR = "{2318C2B1-4965-11D4-9B18-009027A5CD4F}"
NAVER = "{6A4D6E1F-62B0-47B5-9D1A-8C3A27F4E2B5}"
WLID = "{9030D464-4C02-4ABF-8ECC-5164760863C6}"
JAVA = "{761497BB-D6F0-462C-B6EB-D4DAF1D92D43}"
BROKEN_BHO = "{C0FFEE00-DEAD-4BEE-8F00-0000000000B1}"
ASK_BAR = "{D4027C7F-154A-4066-A1AD-4243D8127440}"
ONENOTE = "{2670000A-7350-4F3C-8081-5663EE0C6C49}"
MESSENGER = "{FB5F1910-F110-11D2-BB9E-00C04F795683}"
BARE_BUTTON = "{E2E2DD38-D088-4134-82B7-F2BA38496583}"

def clsid(cls, name, server, classes=CLSID):
    values = [("", name)] if name is not None else []
    key(classes + "\\" + cls, *values)
    if server is not None:
        key(classes + "\\" + cls + "\\InprocServer32", ("", server), ("ThreadingModel", "Apartment"))

# 32-bit add-ons (the files in "Program Files (x86)") register in the 32-bit view, with
# their classes in the 32-bit view of the classes; the Naver helper is registered in both.
clsid(GOOGLE_HELPER, "Google Toolbar Helper", r"C:\Program Files (x86)\Google\Google Toolbar\GoogleToolbar_32.dll",
      CLSID32)
clsid(GOOGLE_BAR, "Google Toolbar", r"C:\Program Files (x86)\Google\Google Toolbar\GoogleToolbar_32.dll", CLSID32)
clsid(NAVER, None, r"C:\Program Files (x86)\NAVER\NaverToolbar\NaverToolbar.dll")   # no name of its own
clsid(NAVER, None, r"C:\Program Files (x86)\NAVER\NaverToolbar\NaverToolbar.dll", CLSID32)
clsid(WLID, "Windows Live ID Sign-in Helper", r"%SystemRoot%\System32\wlidbho.dll")
clsid(JAVA, "Java(tm) Plug-In SSV Helper", r"C:\Program Files (x86)\Java\jre1.8.0_311\bin\ssv.dll", CLSID32)
for cls in (NAVER, WLID, BROKEN_BHO):
    key(BHO + "\\" + cls, ("NoExplorer", 1))
for cls in (GOOGLE_HELPER, NAVER, JAVA):
    key(BHO32 + "\\" + cls, ("NoExplorer", 1))
key(TOOLBAR, (ASK_BAR, b""))
key(TOOLBAR32, (GOOGLE_BAR, b""), (NAVER, b""))
key(EXTENSIONS + "\\" + ONENOTE, ("ButtonText", "Send to OneNote"), ("MenuText", "OneNote(&N)로 보내기"),
    ("Exec", r"C:\Program Files\Microsoft Office\root\Office16\ONBttnIE.dll"),
    ("Icon", r"C:\Program Files\Microsoft Office\root\Office16\ONBttnIE.dll,98"),
    ("CLSID", "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}"))
key(EXTENSIONS + "\\" + MESSENGER, ("ButtonText", "Messenger"), ("Exec", r"C:\Program Files\Messenger\msmsgs.exe"),
    ("Icon", r"C:\Program Files\Messenger\msmsgs.exe,-4"))
key(EXTENSIONS + "\\" + BARE_BUTTON, ("CLSID", "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}"))
key(MENUEXT + "\\Google 사전 검색", ("", r"res://C:\Program Files (x86)\Google\Google Toolbar\GoogleToolbar_32.dll/cmsearch.html"))
key(MENUEXT + "\\네이버 검색(&N)", ("", r"C:\Program Files (x86)\NAVER\NaverToolbar\NaverToolbar.dll"))
key(MENUEXT + "\\E&xport to Microsoft Excel", ("", r"res://C:\PROGRA~1\MICROS~2\Office16\EXCEL.EXE/3000"), ("Contexts", 1))

# ---------------------------------------------------------------------------------------
# Start-up programs.
key(RUN, ("", r"C:\windows\system32\igfxtray.exe"),   # the default value is no entry
    ("V3 Lite", '"C:\\Program Files\\AhnLab\\V3Lite40\\V3Lite.exe" /tray'),
    ("IgfxTray", r"C:\windows\system32\igfxtray.exe"),
    ("SoundMan", "SOUNDMAN.EXE"),
    ("HotKeysCmds", r"%SystemRoot%\System32\hkcmd.exe /startup"),
    ("RtHDVCpl", r"%SystemRoot%\RTHDCPL"))
# 32-bit programs start from the 32-bit view's Run key.
key(RUN32, ("Adobe ARM", '"C:\\Program Files (x86)\\Common Files\\Adobe\\ARM\\1.0\\AdobeARM.exe"'),
    ("NaverUpdate", r"C:\Program Files (x86)\NAVER\NaverUpdate\NaverUpdate.exe -autorun"))
key(USER_RUN, ("KakaoTalk", '"C:\\Program Files (x86)\\Kakao\\KakaoTalk\\KakaoTalk.exe" -bystartup'),
    ("OneDrive", '"C:\\Program Files\\Microsoft OneDrive\\OneDrive.exe" /background'),
    ("Discord", r"C:\users\Public\Discord\Update.exe --processStart Discord.exe"),
    ("utweb", "utweb.exe"))

# ---------------------------------------------------------------------------------------
# Downloaded ActiveX controls.
FLASH = "{D27CDB6E-AE6D-11CF-96B8-444553540000}"
CROSSWEB = "{7E9FDB80-5316-11D4-B02C-00C04F0CD404}"
ANYSIGN = "{3A2C5B7D-1E4F-4A6B-8C9D-0E1F2A3B4C5D}"
XECURE = "{7E57DE00-0000-4000-8000-00000000BEEF}"
VERAPORT = "{9C4B2A1E-7D3F-4E8A-B6C5-1F2E3D4C5B6A}"
# Controls of the 32-bit browser register in the 32-bit view, their classes too.
for units, unit in ((UNITS, FLASH), (UNITS32, CROSSWEB), (UNITS, ANYSIGN), (UNITS32, XECURE), (UNITS32, VERAPORT)):
    key(units + "\\" + unit, ("SystemComponent", 0), ("Installer", "MSICD"))
    key(units + "\\" + unit + "\\DownloadInformation", ("CODEBASE", "https://download.example.invalid/" + unit + ".cab"))
key(CLSID + "\\" + FLASH, ("", "Shockwave Flash Object"))
key(CLSID + "\\" + FLASH + "\\InprocServer32", ("", r"C:\windows\System32\Macromed\Flash\Flash32_32_0_0_465.ocx"))
key(CLSID + "\\" + FLASH + "\\ToolboxBitmap32", ("", r"C:\windows\System32\Macromed\Flash\Flash32_32_0_0_465.ocx, 1"))
key(CLSID32 + "\\" + CROSSWEB, ("", "  INISAFE CrossWeb EX Control \t"))
key(CLSID32 + "\\" + CROSSWEB + "\\InprocServer32", ("", r"C:\windows\Downloaded Program Files\INISAFECrossWebEX.ocx"))
key(CLSID32 + "\\" + XECURE, ("AppID", "{00000000-0000-0000-0000-000000000000}"))   # class without a name
key(CLSID32 + "\\" + VERAPORT, ("", "Veraport 설치 도우미"))
key(CLSID32 + "\\" + VERAPORT + "\\ToolboxBitmap32", ("", r"C:\windows\Downloaded Program Files\veraport.ocx, 101"))


# ---------------------------------------------------------------------------------------
# Uninstallers: these uninstall commands start a real program (uninstaller.c) that deletes
# the entries whose command started it, so a removal in Tarnock really removes the program.
# The settings keys below are what the signature database lists as left behind; the removal
# deletes them after the uninstaller has finished.
UNINSTALLERS = [
    r"C:\Program Files\Notepad++\uninstall.exe",
    r"C:\Program Files\AhnLab\V3Lite40\Uninst.exe",
    r"C:\Program Files\DAUM\PotPlayer\uninstall.exe",
    r"C:\Program Files (x86)\Kakao\KakaoTalk\uninstall.exe",
    r"C:\Program Files\Spybot - Search & Destroy 2\unins000.exe",
    r"C:\Program Files (x86)\Malwarebytes' Anti-Malware\unins000.exe",
    r"C:\Program Files (x86)\NAVER\NaverToolbar\uninstall.exe",
    r"C:\Program Files (x86)\NATE\NateOn\uninst.exe",
    r"C:\Program Files (x86)\SORIBADA\Soribada6\uninstall.exe",
    r"C:\Program Files (x86)\ESTsoft\ALZip\unins000.exe",
    r"C:\Program Files\WinRAR\uninstall.exe",
    r"C:\Program Files\Bandicam\uninstall.exe",
    r"C:\Program Files (x86)\Wizvera\Veraport20\unins000.exe",
]
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Malwarebytes' Anti-Malware", ("InstallPath", r"C:\Program Files (x86)\Malwarebytes' Anti-Malware"))
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Malwarebytes' Anti-Malware\Settings", ("Scheduler", 1))


def install_uninstallers(drive_c, work):
    program = os.path.join(work, "uninstaller.exe")
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-mwindows", "-s", "-O2", os.path.join(HERE, "uninstaller.c"),
                    "-o", program], check=True)
    for path in UNINSTALLERS:
        target = host_path(drive_c, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(program, "rb") as source, open(target, "wb") as out:
            out.write(source.read())


# ---------------------------------------------------------------------------------------
def reg_text(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def write_reg(path):
    lines = ["Windows Registry Editor Version 5.00", ""]
    for name, values in REG:
        lines.append("[" + name + "]")
        for value_name, value in values:
            label = "@" if value_name == "" else reg_text(value_name)
            if isinstance(value, bytes):
                lines.append(label + "=hex:" + ",".join("%02x" % b for b in value))
            elif isinstance(value, int):
                lines.append(label + "=dword:%08x" % value)
            else:
                lines.append(label + "=" + reg_text(value))
        lines.append("")
    data = "\r\n".join(lines) + "\r\n"
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + data.encode("utf-16-le"))


def host_path(drive_c, windows_path):
    assert windows_path[:3].upper() == "C:\\", windows_path
    return os.path.join(drive_c, *windows_path[3:].split("\\"))


def build_library(target, company, description, work):
    rc = os.path.join(work, "version.rc")
    with open(rc, "w", encoding="utf-8") as out:
        out.write('#pragma code_page(65001)\n#include <winver.h>\n1 VERSIONINFO\nFILEVERSION 1,0,0,0\n'
                  'PRODUCTVERSION 1,0,0,0\nFILETYPE VFT_DLL\nBEGIN\n BLOCK "StringFileInfo"\n BEGIN\n'
                  '  BLOCK "041204B0"\n  BEGIN\n   VALUE "CompanyName", "%s"\n   VALUE "FileDescription", "%s"\n'
                  '  END\n END\n BLOCK "VarFileInfo"\n BEGIN\n  VALUE "Translation", 0x412, 1200\n END\nEND\n'
                  % (company, description))
    obj = os.path.join(work, "version.o")
    subprocess.run(["x86_64-w64-mingw32-windres", "--codepage=65001", rc, "-O", "coff", "-o", obj], check=True)
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-shared", "-s", "-O2", os.path.join(HERE, "addon.c"), obj,
                    "-o", target], check=True)


def main():
    drive_c, out_dir = sys.argv[1], sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    for path in FILES:
        target = host_path(drive_c, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            out.write(b"MZ demo file\n")
    with tempfile.TemporaryDirectory() as work:
        for path, (company, description) in LIBRARIES.items():
            target = host_path(drive_c, path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            build_library(target, company, description, work)
        install_uninstallers(drive_c, work)
    write_reg(os.path.join(out_dir, "machine.reg"))


if __name__ == "__main__":
    main()
