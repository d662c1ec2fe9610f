#!/usr/bin/env python3
"""Data for the scan benchmark.

    make-bench-data.py N OUT_DIR [DRIVE_C]

Writes OUT_DIR/entries.reg (N uninstall entries, UTF-16) and OUT_DIR/bench.sql (a
signature category 1 of 100 exact-name rows and 100 fragment rows; every row matches
one entry, so both machine sizes list the same 200 rows).

The entries are spread over the three places programs register in: entry i lives in the
machine's 64-bit view when i % 3 is 0, in its 32-bit view (WOW6432Node) when it is 1 and
under the current user when it is 2. The rows' entries are spread the same way.

Given the prefix's DRIVE_C, it also installs the programs' files (an empty app.exe, the
icon, and unins000.exe), as on a real machine, except for every tenth entry, whose program
is gone and whose row has to fall back to the ARP cache and the uninstall command.
"""
import os
import sys

n = int(sys.argv[1])
out = sys.argv[2]
drive_c = sys.argv[3] if len(sys.argv) > 3 else None
os.makedirs(out, exist_ok=True)
tail = r"\Microsoft\Windows\CurrentVersion\Uninstall"
roots = [r"HKEY_LOCAL_MACHINE\SOFTWARE" + tail, r"HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node" + tail,
         r"HKEY_CURRENT_USER\Software" + tail]
lines = ["Windows Registry Editor Version 5.00", ""]
for i in range(n):
    folder = r"C:\\Program Files\\Bench Vendor %d\\App %05d" % (i % 37, i)
    lines += ["[%s\\BenchApp%05d]" % (roots[i % 3], i),
              '"DisplayName"="Bench Application %05d"' % i,
              '"Publisher"="Bench Vendor %d"' % (i % 37),
              '"UninstallString"="\\"%s\\\\unins000.exe\\" /SILENT"' % folder,
              '"DisplayIcon"="%s\\\\app.exe,0"' % folder,
              '"URLInfoAbout"="http://vendor%d.example/"' % (i % 37)]
    if i % 10 == 0:
        lines.append('"SystemComponent"=dword:00000001')
    if drive_c and i % 10 != 5:
        installed = os.path.join(drive_c, "Program Files", "Bench Vendor %d" % (i % 37), "App %05d" % i)
        os.makedirs(installed, exist_ok=True)
        for name in ("app.exe", "unins000.exe"):
            open(os.path.join(installed, name), "wb").close()
    lines.append("")
with open(os.path.join(out, "entries.reg"), "wb") as f:
    f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))

sql = ["CREATE TABLE tb_kelvo_mst (mst_Seq INTEGER PRIMARY KEY, product_name TEXT, info TEXT,"
       " uninstall_key TEXT, match_mode TEXT, Type INTEGER);",
       "CREATE TABLE tb_process_list (process_name TEXT, mst_Seq INTEGER);",
       "CREATE TABLE tb_registry_list (registry_key TEXT, mst_Seq INTEGER);", "BEGIN;"]
for j in range(100):
    # Row j's entries: 3j + (j % 3) and 3j + ((j + 1) % 3), in different places.
    sql.append("INSERT INTO tb_kelvo_mst VALUES (%d, 'Exact %03d', 'http://exact.example/', 'BenchApp%05d', '=', 1);"
               % (j + 1, j, 3 * j + j % 3))
    sql.append("INSERT INTO tb_kelvo_mst VALUES (%d, 'Fragment %03d', 'http://fragment.example/', 'app%05d', '%%', 1);"
               % (j + 101, j, 3 * j + (j + 1) % 3))
sql.append("COMMIT;")
with open(os.path.join(out, "bench.sql"), "w") as f:
    f.write("\n".join(sql) + "\n")
