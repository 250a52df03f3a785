#!/usr/bin/env python3
"""ROOT: each »text« in doc/LIESMICH.txt is a literal of src/ (… for a varying part): adjacent
literals joined, whitespace runs as one blank."""
import pathlib, re, sys

root = pathlib.Path(sys.argv[1])
# Comments, character literals and string literals (the body of a string in group 1).
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|(?:L|u8|u|U)?"((?:[^"\\\n]|\\.)*)"',
                   re.S)


def unescape(body):
    return re.sub(r'\\(x[0-9A-Fa-f]+|.)', lambda m: chr(int(m[1][1:], 16)) if m[1][0] == 'x'
                  else {'n': '\n', 't': '\t', 'r': '\r', '0': '\0'}.get(m[1], m[1]), body)

known = set()
for path in (root / 'src').rglob('*.[ch]*'):
    text, joined, end = path.read_text(encoding='utf-8'), [], None
    for m in TOKEN.finditer(text):
        if m[1] is not None:
            if end is not None and not text[end:m.start()].strip():
                joined[-1] += unescape(m[1])
            else:
                joined.append(unescape(m[1]))
        end = m.end() if m[1] is not None else None
    known.update(' '.join(s.split()) for s in joined)
quotes = re.findall('»([^«]*)«', (root / 'doc/LIESMICH.txt').read_text(encoding='utf-8'))
bad = [q for q in quotes if not q.strip(' …') or
       any(' '.join(p.split()) not in known for p in q.split('…') if p.strip())]
sys.exit(f'not shown by the program: {bad}' if bad or not quotes else 0)
