#!/usr/bin/env python3
# Checks a translation catalogue against the texts of the sources: every text has a translation
# that is neither empty nor fuzzy, with the same placeholders (%1 .. %9) and the same line breaks.
#   check_catalogue.py SOURCES.pot LANGUAGE.po    exit 1, naming each fault, when there is one
#   check_catalogue.py --self-test FOLDER         the faulty catalogues of FOLDER are all found
import re
import sys
from collections import Counter
from pathlib import Path


def unquote(text):
    out, i = [], 0
    escapes = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', 'r': '\r'}
    while i < len(text):
        c = text[i]
        if c == '\\' and i + 1 < len(text):
            out.append(escapes.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def entries(path):
    """The entries of a .po or .pot file: (msgid, msgstr, fuzzy), the header and obsolete ones left out."""
    found, current, field, fuzzy = [], None, None, False

    def close():
        if current is not None and current.get('msgid'):
            found.append((current['msgid'], current.get('msgstr', ''), current['fuzzy']))

    for line in Path(path).read_text(encoding='utf-8').splitlines():
        line = line.strip()
        if line.startswith('#~'):
            continue
        if line.startswith('#,'):
            fuzzy = fuzzy or 'fuzzy' in line
            continue
        if not line or line.startswith('#'):
            continue
        m = re.match(r'^(msgctxt|msgid_plural|msgid|msgstr(?:\[\d+\])?)\s+"(.*)"$', line)
        if m:
            key = m.group(1)
            if key == 'msgid' or (key == 'msgctxt'):
                if key == 'msgid' and current is not None and current.get('ctxt_only'):
                    current.pop('ctxt_only')
                else:
                    close()
                    current = {'fuzzy': fuzzy}
                    fuzzy = False
                if key == 'msgctxt':
                    current['ctxt_only'] = True
            field = 'msgstr' if key.startswith('msgstr') else key
            if field in ('msgid', 'msgstr') and field in current and key.startswith('msgstr['):
                field = None  # later plural forms: the first one is checked
                continue
            current[field] = current.get(field, '') + unquote(m.group(2))
            continue
        m = re.match(r'^"(.*)"$', line)
        if m and current is not None and field:
            current[field] = current.get(field, '') + unquote(m.group(1))
    close()
    return found


def placeholders(text):
    return Counter(re.findall(r'%[1-9]', text))


def faults(pot, po):
    translated = {msgid: (msgstr, fuzzy) for msgid, msgstr, fuzzy in entries(po)}
    found = []
    for msgid, _, _ in entries(pot):
        shown = msgid if len(msgid) <= 60 else msgid[:60] + '...'
        if msgid not in translated:
            found.append(f'no entry for "{shown}"')
            continue
        msgstr, fuzzy = translated[msgid]
        if fuzzy:
            found.append(f'the translation of "{shown}" is fuzzy')
        elif not msgstr:
            found.append(f'"{shown}" has no translation')
        elif placeholders(msgstr) != placeholders(msgid):
            found.append(f'the placeholders of "{shown}" ({" ".join(sorted(placeholders(msgid).elements())) or "none"}) '
                         f'differ in its translation "{msgstr}"')
        elif msgid.count('\n') != msgstr.count('\n'):
            found.append(f'"{shown}" has {msgid.count(chr(10))} line breaks, its translation {msgstr.count(chr(10))}')
    return found


def self_test(folder):
    folder = Path(folder)
    pot = folder / 'texts.pot'
    ok = True
    good = faults(pot, folder / 'good.po')
    if good:
        print(f'the good catalogue is refused: {good}')
        ok = False
    for bad in sorted(folder.glob('bad-*.po')):
        expected = bad.stem[len('bad-'):].replace('-', ' ')
        found = faults(pot, bad)
        if not any(expected in f for f in found):
            print(f'{bad.name}: expected a fault about "{expected}", found {found}')
            ok = False
    return 0 if ok else 1


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--self-test':
        return self_test(sys.argv[2])
    if len(sys.argv) != 3:
        print(__doc__ or 'usage: check_catalogue.py SOURCES.pot LANGUAGE.po', file=sys.stderr)
        return 2
    found = faults(sys.argv[1], sys.argv[2])
    for f in found:
        print(f'{sys.argv[2]}: {f}')
    count = len(entries(sys.argv[1]))
    print(f'{sys.argv[2]}: {count} texts, {len(found)} faults')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
