#!/usr/bin/env python3
"""False-positive check of the signature database against a corpus of real uninstall entries.

    check-data.py [--sql data/kelvo.sql] [--db kelvo.dat] [--corpus tests/data/uninstall-corpus.tsv]
                  [--extra-sql FILE] [--markdown] [--self-test]

Every product row is applied to every corpus entry with the category scan's own rules:
  exact row (match mode other than "%"): the key name equals the entry's key name, ignoring
      case (registry names ignore case; the scan opens the key by its name);
  fragment row ("%"): the entry's key name, lower-cased (ASCII letters only, as the scan
      does), contains the lower-cased fragment.
A fragment is also tried on the entries' display names: many installers name their key after
the product, so a fragment found in another product's display name will meet that product's
key on some machine. A row may match only entries of its own product (the corpus column
"product" names the same product as the row, ignoring a trailing version or "(n)" that tells
several rows of one product apart); any other match fails the check.

Every product row of kelvo.sql must end with "-- source: ..." or "-- unverified: ..."; a row
without either fails the check too.

Prints per category: rows, rows with a source, corpus matches, precision (matches of the own
product / all matches) and coverage (products of the category whose key is in the corpus and
that a row finds / products of the category whose key is in the corpus).
--self-test plants an over-broad fragment and a foreign exact key and passes only when the
check then fails.
"""
import argparse
import os
import re
import sqlite3
import sys

CATEGORIES = [(1, "spyware / fake security"), (2, "toolbars"), (3, "messengers"),
              (4, "P2P / web storage"), (9, "commercial")]
ROW_LINE = re.compile(r"^\s*\((\d+),.*\)\s*[,;]?\s*--\s*(source|unverified):\s*(.+?)\s*$")


def lower_ascii(text):
    # The scan lowers A-Z only and leaves every other byte (Hangul included) as it is.
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def load_rows(sql_path, db_path, extra_sql):
    connection = sqlite3.connect(":memory:")
    if db_path:
        connection.close()
        connection = sqlite3.connect(db_path)
    else:
        with open(sql_path, encoding="utf-8") as source:
            connection.executescript(source.read())
    if extra_sql:
        with open(extra_sql, encoding="utf-8") as source:
            connection.executescript(source.read())
    rows = connection.execute("select mst_Seq, product_name, uninstall_key, match_mode, Type "
                              "from tb_kelvo_mst order by Type, product_name").fetchall()
    connection.close()
    return [dict(seq=r[0], name=r[1], key=r[2] or "", fragment=(r[3] or "") == "%", type=r[4]) for r in rows]


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


def matches(row, entry):
    """'key', 'display' or None: where the row meets the entry under the scan's rules."""
    if row["fragment"]:
        fragment = lower_ascii(row["key"])
        if entry["key"] and fragment in lower_ascii(entry["key"]):
            return "key"
        if entry["display"] and fragment in lower_ascii(entry["display"]):
            return "display"
        return None
    if entry["key"] and lower_ascii(entry["key"]) == lower_ascii(row["key"]):
        return "key"
    return None


def check(rows, evidence, corpus, out):
    failures = []
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
            for entry in corpus:
                where = matches(row, entry)
                if not where:
                    continue
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


def self_test(rows, evidence, corpus, out):
    """The check must fail on an over-broad fragment and on another product's exact key."""
    planted = [
        dict(seq=9990, name="Planted toolbar fragment", key="Toolbar", fragment=True, type=2),
        dict(seq=9991, name="Planted foreign key", key="7-zip", fragment=False, type=9),
    ]
    ok = True
    for plant in planted:
        marks = dict(evidence)
        marks[plant["seq"]] = ("unverified", "planted")
        failures, _ = check(rows + [plant], marks, corpus, out)
        caught = [f for f in failures if plant["name"] in f]
        out.write("planted %-28s -> %s\n" % (plant["name"], "caught (%d matches)" % len(caught) if caught else "MISSED"))
        ok = ok and bool(caught)
    failures, _ = check(rows, evidence, corpus, out)
    return ok


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser()
    parser.add_argument("--sql", default=os.path.join(here, "data", "kelvo.sql"))
    parser.add_argument("--db", help="check a built kelvo.dat instead of executing the SQL")
    parser.add_argument("--corpus", default=os.path.join(here, "tests", "data", "uninstall-corpus.tsv"))
    parser.add_argument("--extra-sql", help="further SQL run after the database is loaded")
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()

    rows = load_rows(args.sql, args.db, args.extra_sql)
    evidence = load_evidence([args.sql, args.extra_sql])
    corpus = load_corpus(args.corpus)
    if args.self_test:
        return 0 if self_test(rows, evidence, corpus, sys.stdout) else 1
    failures, stats = check(rows, evidence, corpus, sys.stdout)
    print_stats(stats, corpus, args.markdown, sys.stdout)
    for failure in failures:
        sys.stdout.write("FAIL " + failure + "\n")
    sys.stdout.write("%d rows checked against %d corpus entries: %s\n"
                     % (len(rows), len(corpus), "%d failures" % len(failures) if failures else "no false positive"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
