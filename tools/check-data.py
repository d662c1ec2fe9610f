#!/usr/bin/env python3
"""False-positive and deletion-rule check of the signature database against a corpus of real
uninstall entries.

    check-data.py [--rules kelvo_rules.exe --wine-run BUILD/wine-run.sh] [--sql data/kelvo.sql]
                  [--db kelvo.dat] [--corpus tests/data/uninstall-corpus.tsv]
                  [--extra-sql FILE] [--markdown] [--self-test]

The rules are not written here: kelvo_rules, a program built from the product's own database,
scan and deletion-rule code, loads the database as the program does and prints which rows find
which corpus entries under the category scan's rules (exact rows: the key name, ignoring case;
fragment rows "%": contained in the lower-cased key name) and what the deletion rule says of
every registry path a row lists (the row's key name and product name counting as the
product's own names, as the removal gives them). It
runs under Wine through the build tree's wine-run.sh; by default both are looked for in
build/x86_64.

A fragment is also tried on the entries' display names: many installers name their key after
the product, so a fragment found in another product's display name will meet that product's
key on some machine. A row may match only entries of its own product (the corpus column
"product" names the same product as the row, ignoring a trailing version or "(n)" that tells
several rows of one product apart); any other match fails the check, and so does every
registry path that the deletion rule refuses.

Every product row of kelvo.sql must end with "-- source: ..." or "-- unverified: ..."; a row
without either fails the check too.

Prints per category: rows, rows with a source, corpus matches, precision (matches of the own
product / all matches) and coverage (products of the category whose key is in the corpus and
that a row finds / products of the category whose key is in the corpus).
--self-test plants an over-broad fragment, a foreign exact key and unsafe registry paths (under
SYSTEM, a class root, another product's uninstall entry) and passes only when the check then
fails for each.
"""
import argparse
import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

CATEGORIES = [(1, "spyware / fake security"), (2, "toolbars"), (3, "messengers"),
              (4, "P2P / web storage"), (9, "commercial")]
ROW_LINE = re.compile(r"^\s*\((\d+),.*\)\s*[,;]?\s*--\s*(source|unverified):\s*(.+?)\s*$")


def build_database(sql_path, db_path, extra_sql, extra_statements, folder):
    """A database file for the rules program: the built one, or one made from the SQL, with
    the extra SQL and statements applied to a copy."""
    target = os.path.join(folder, "kelvo-check.dat")
    if os.path.exists(target):
        os.remove(target)
    if db_path:
        shutil.copyfile(db_path, target)
        connection = sqlite3.connect(target)
    else:
        connection = sqlite3.connect(target)
        with open(sql_path, encoding="utf-8") as source:
            connection.executescript(source.read())
    if extra_sql:
        with open(extra_sql, encoding="utf-8") as source:
            connection.executescript(source.read())
    for statement in extra_statements:
        connection.execute(*statement)
    connection.commit()
    # The program's own order of each category ("order by 2"), so the rows it reports by
    # position are known by their key.
    rows = []
    for type_, _ in CATEGORIES:
        found = connection.execute("select mst_Seq, product_name from tb_kelvo_mst where Type=? order by 2",
                                   (type_,)).fetchall()
        rows.extend(dict(seq=r[0], name=r[1], type=type_, index=i) for i, r in enumerate(found))
    connection.close()
    return target, rows


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_rules(rules, wine_run, database, corpus_path):
    """The rules program's records: rows, matches and path verdicts."""
    result = subprocess.run([wine_run, rules, windows_path(database), windows_path(corpus_path)],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=240)
    if result.returncode != 0:
        raise SystemExit("kelvo_rules failed (%d): %s" % (result.returncode,
                                                          result.stderr.decode("utf-8", "replace")))
    records = []
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        line = line.strip()
        if line.startswith("{"):
            records.append(json.loads(line))
    if not any(r["kind"] == "row" for r in records):
        raise SystemExit("kelvo_rules reported no rows")
    return records


def load_rows(args, folder, extra_statements=()):
    database, rows = build_database(args.sql, args.db, args.extra_sql, extra_statements, folder)
    records = run_rules(args.rules, args.wine_run, database, args.corpus)
    by_position = {(r["type"], r["index"]): r for r in rows}
    for record in records:
        row = by_position.get((record["type"], record["index"]))
        if row is None:
            raise SystemExit("kelvo_rules reported an unknown row: %r" % record)
        if record["kind"] == "row":
            row["key"] = record["key"]
            row["fragment"] = record["fragment"]
        elif record["kind"] == "match":
            row.setdefault("matches", []).append((record["line"], record["where"]))
        elif record["kind"] == "path":
            row.setdefault("paths", []).append((record["path"], record["verdict"]))
    return rows


def load_evidence(paths):
    evidence = {}
    for path in paths:
        if not path:
            continue
        with open(path, encoding="utf-8") as source:
            for line in source:
                found = ROW_LINE.match(line)
                if found:
                    evidence[int(found.group(1))] = (found.group(2), found.group(3))
    return evidence


def load_corpus(path):
    entries = []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if fields == ["key", "display name", "product", "source"]:
                continue
            if len(fields) != 4 or not fields[2] or not fields[3]:
                raise SystemExit("%s:%d: expected key, display name, product, source" % (path, number))
            entries.append(dict(key=fields[0], display=fields[1], product=fields[2], source=fields[3], line=number))
    return entries


def family(name):
    """A product without the suffix that tells several rows of it apart: 'Viber 28.9',
    'Nitro Pro 8 (2)', 'Spybot - Search & Destroy (MSI)' and 'Search App by Ask 3' belong to
    'Viber', 'Nitro Pro', 'Spybot - Search & Destroy' and 'Search App by Ask'."""
    name = re.sub(r"\s+\([^()]*\)$", "", name.strip())
    return re.sub(r"\s+[0-9]+(\.[0-9]+)?$", "", name)


def check(rows, evidence, corpus, out):
    failures = []
    by_line = {e["line"]: e for e in corpus}
    for row in rows:
        if row["seq"] not in evidence and row["seq"] >= 0:
            failures.append("row %d %s: no '-- source:' or '-- unverified:' note" % (row["seq"], row["name"]))
    stats = []
    for type_, title in CATEGORIES:
        own_rows = [r for r in rows if r["type"] == type_]
        names = {family(r["name"]) for r in own_rows}
        verified = sum(1 for r in own_rows if evidence.get(r["seq"], ("",))[0] == "source")
        hits = good = 0
        found_products = set()
        for row in own_rows:
            for path, verdict in row.get("paths", []):
                if verdict != "allowed":
                    failures.append("category %d row %d %s: registry path %r refused: %s"
                                    % (type_, row["seq"], row["name"], path, verdict))
            for line, where in row.get("matches", []):
                entry = by_line[line]
                hits += 1
                if family(entry["product"]) == family(row["name"]):
                    good += 1
                    if where == "key":
                        found_products.add(family(entry["product"]))
                else:
                    failures.append("category %d row %d %s (%s %r) matches the %s of %s: %r %r (corpus line %d, %s)"
                                    % (type_, row["seq"], row["name"], "fragment" if row["fragment"] else "exact",
                                       row["key"], where, entry["product"], entry["key"], entry["display"],
                                       entry["line"], entry["source"]))
        keyed_products = {family(e["product"]) for e in corpus if e["key"] and family(e["product"]) in names}
        stats.append(dict(type=type_, title=title, rows=len(own_rows), verified=verified, hits=hits, good=good,
                          covered=len(found_products & keyed_products), keyed=len(keyed_products)))
    return failures, stats


def percent(part, whole):
    return "-" if whole == 0 else "%.1f%%" % (100.0 * part / whole)


def print_stats(stats, corpus, markdown, out):
    keyed = sum(1 for e in corpus if e["key"])
    if markdown:
        out.write("| category | rows | rows with a source | corpus matches | precision | coverage |\n")
        out.write("|---|---|---|---|---|---|\n")
        for s in stats:
            out.write("| %d %s | %d | %d | %d | %s | %d of %d |\n" % (
                s["type"], s["title"], s["rows"], s["verified"], s["hits"], percent(s["good"], s["hits"]),
                s["covered"], s["keyed"]))
        out.write("\nCorpus: %d entries (%d with a key name, %d display names only).\n"
                  % (len(corpus), keyed, len(corpus) - keyed))
        return
    out.write("corpus: %d entries, %d with a key name\n" % (len(corpus), keyed))
    out.write("%-28s %5s %9s %8s %10s %9s\n" % ("category", "rows", "verified", "matches", "precision", "coverage"))
    for s in stats:
        out.write("%-28s %5d %9d %8d %10s %9s\n" % (
            "%d %s" % (s["type"], s["title"]), s["rows"], s["verified"], s["hits"], percent(s["good"], s["hits"]),
            "%d/%d" % (s["covered"], s["keyed"])))


PLANTED = [
    # (seq, type, name, key, match mode, registry path or None)
    (9990, 2, "Planted toolbar fragment", "Toolbar", "%", None),
    (9991, 9, "Planted foreign key", "7-zip", "=", None),
    (9992, 1, "Planted SYSTEM path", "TnkPlantedDriver", "=",
     "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TnkPlantedDriver\\"),
    (9993, 1, "Planted class root path", "TnkPlantedClass", "=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\"),
    (9994, 1, "Planted foreign entry path", "TnkPlantedEntry", "=",
     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\7-Zip\\"),
]


def self_test(args, evidence, corpus, folder, out):
    """The check must fail on an over-broad fragment, another product's exact key and each
    unsafe registry path, and pass on the data without them."""
    statements = []
    for seq, type_, name, key, mode, path in PLANTED:
        statements.append(("insert into tb_kelvo_mst (mst_Seq, product_name, info, uninstall_key, match_mode, Type) "
                           "values (?, ?, '', ?, ?, ?)", (seq, name, key, mode, type_)))
        if path:
            statements.append(("insert into tb_registry_list (registry_key, mst_Seq) values (?, ?)", (path, seq)))
    rows = load_rows(args, folder, statements)
    marks = dict(evidence)
    for plant in PLANTED:
        marks[plant[0]] = ("unverified", "planted")
    failures, _ = check(rows, marks, corpus, out)
    ok = True
    for plant in PLANTED:
        caught = [f for f in failures if plant[2] in f]
        out.write("planted %-28s -> %s\n" % (plant[2], "caught (%d failures)" % len(caught) if caught else "MISSED"))
        ok = ok and bool(caught)
    clean, _ = check(load_rows(args, folder), evidence, corpus, out)
    out.write("without the plants: %s\n" % ("%d failures" % len(clean) if clean else "no failure"))
    return ok and not clean


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser()
    parser.add_argument("--sql", default=os.path.join(here, "data", "kelvo.sql"))
    parser.add_argument("--db", help="check a built kelvo.dat instead of executing the SQL")
    parser.add_argument("--corpus", default=os.path.join(here, "tests", "data", "uninstall-corpus.tsv"))
    parser.add_argument("--extra-sql", help="further SQL run after the database is loaded")
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("--rules", default=os.path.join(here, "build", "x86_64", "tests", "kelvo_rules.exe"),
                        help="the kelvo_rules program of a build tree")
    parser.add_argument("--wine-run", default=os.path.join(here, "build", "x86_64", "wine-run.sh"),
                        help="the build tree's wine-run.sh, which runs it")
    args = parser.parse_args()
    for tool in (args.rules, args.wine_run):
        if not os.path.exists(tool):
            raise SystemExit("%s is missing: build the tree first (kelvo_rules)" % tool)

    evidence = load_evidence([args.sql, args.extra_sql])
    corpus = load_corpus(args.corpus)
    with tempfile.TemporaryDirectory(prefix="check-data-") as folder:
        if args.self_test:
            return 0 if self_test(args, evidence, corpus, folder, sys.stdout) else 1
        rows = load_rows(args, folder)
    failures, stats = check(rows, evidence, corpus, sys.stdout)
    print_stats(stats, corpus, args.markdown, sys.stdout)
    for failure in failures:
        sys.stdout.write("FAIL " + failure + "\n")
    sys.stdout.write("%d rows checked against %d corpus entries: %s\n"
                     % (len(rows), len(corpus), "%d failures" % len(failures) if failures else "no false positive, every path allowed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
