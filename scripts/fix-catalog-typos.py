#!/usr/bin/env python3
"""Corrects the real typos of the translated catalog sentences in place.

usage: fix-catalog-typos.py [--check] [FIXES] [CATALOG]
       fix-catalog-typos.py --self-test

FIXES (tests/data/langid/catalog-fixes.tsv) holds lang<TAB>wrong<TAB>right rows,
'#' comments allowed. CATALOG (tests/data/langid/catalog-sentences.tsv) holds
lang<TAB>sentence rows. A fix replaces `wrong` in the sentences of its language
as a whole word (no letter or digit on either side) in three spellings: as
listed, Capitalized and UPPER CASE, each replaced by `right` in the same case.
Rows are never added, dropped or reordered: the row order decides which rows
calibrate the keyboard models (even) and which are held out (odd).
make-langid-set.sh runs this on the set it writes; it also runs on its own.
--check changes nothing and exits 1 when a fix still applies.
"""
import re
import sys


def load_fixes(path):
    fixes = {}
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line or line.startswith('#'):
                continue
            fields = line.split('\t')
            if len(fields) != 3 or not all(fields) or fields[1] == fields[2]:
                sys.exit(f'{path}:{number}: expected lang<TAB>wrong<TAB>right')
            lang, wrong, right = fields
            fixes.setdefault(lang, {})[wrong] = right
    return fixes


def capitalize(word):
    return word[:1].upper() + word[1:]


def replacer(table):
    """One pass over a sentence for one language's {wrong: right} table."""
    cased = {}
    for wrong, right in table.items():
        for spell in (lambda w: w, capitalize, str.upper):
            cased.setdefault(spell(wrong), spell(right))
    alternatives = '|'.join(re.escape(w) for w in sorted(cased, key=len, reverse=True))
    pattern = re.compile(r'(?<![^\W_])(?:' + alternatives + r')(?![^\W_])')
    return lambda text: pattern.sub(lambda m: cased[m.group(0)], text)


def fix_rows(rows, fixes):
    """rows: [(lang, sentence)]; returns the corrected rows and the count changed."""
    replacers = {lang: replacer(table) for lang, table in fixes.items()}
    out, changed = [], 0
    for lang, sentence in rows:
        fixed = replacers[lang](sentence) if lang in replacers else sentence
        changed += fixed != sentence
        out.append((lang, fixed))
    return out, changed


def self_test():
    fixes = {'it': {'correta': 'corretta', "piu'": 'più', 'neessun': 'nessun'},
             'de': {'eigentlichim': 'eigentlich im'}}
    cases = [
        ('it', 'La forma correta.', 'La forma corretta.'),
        ('it', 'Correta e CORRETA', 'Corretta e CORRETTA'),
        ('it', 'Neessun file', 'Nessun file'),
        ('it', 'una versione piu\' recente', 'una versione più recente'),
        ('it', 'scorretta incorreta correta2', 'scorretta incorreta correta2'),
        ('de', 'Das ist eigentlichim Text', 'Das ist eigentlich im Text'),
        ('en', 'correta stays in English', 'correta stays in English'),
    ]
    got, changed = fix_rows([(lang, text) for lang, text, _ in cases], fixes)
    failures = [(text, g, want) for (lang, text, want), (_, g) in zip(cases, got) if g != want]
    for text, g, want in failures:
        print(f'self-test: {text!r} -> {g!r}, expected {want!r}', file=sys.stderr)
    if changed != 5:
        failures.append(changed)
        print(f'self-test: {changed} rows changed, expected 5', file=sys.stderr)
    return 1 if failures else 0


def main(argv):
    if argv == ['--self-test']:
        return self_test()
    check = bool(argv) and argv[0] == '--check'
    args = argv[1:] if check else argv
    fixes_path = args[0] if len(args) > 0 else 'tests/data/langid/catalog-fixes.tsv'
    catalog_path = args[1] if len(args) > 1 else 'tests/data/langid/catalog-sentences.tsv'
    with open(catalog_path, encoding='utf-8') as f:
        rows = [tuple(line.rstrip('\n').split('\t', 1)) for line in f]
    fixed, changed = fix_rows(rows, load_fixes(fixes_path))
    if check:
        for (lang, before), (_, after) in zip(rows, fixed):
            if before != after:
                print(f'{lang}\t{before}\n  ->\t{after}')
        return 1 if changed else 0
    with open(catalog_path, 'w', encoding='utf-8') as f:
        f.writelines(f'{lang}\t{text}\n' for lang, text in fixed)
    print(f'{catalog_path}: {changed} sentences corrected', file=sys.stderr)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
