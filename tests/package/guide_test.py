#!/usr/bin/env python3
"""guide ROOT: each »text« in doc/LIESMICH.txt is a literal of src/ (… for a varying part).
zip ROOT: two runs of scripts/package give the same two zips (x64, x86), each of exactly the named
files with the right checksums and the executable of its architecture."""
import hashlib, pathlib, re, subprocess, sys, tempfile, zipfile

mode, root = sys.argv[1], pathlib.Path(sys.argv[2])
# Comments, character literals and string literals (the body of a string in group 1).
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|(?:L|u8|u|U)?"((?:[^"\\\n]|\\.)*)"',
                   re.S)


def unescape(body):
    return re.sub(r'\\(x[0-9A-Fa-f]+|.)', lambda m: chr(int(m[1][1:], 16)) if m[1][0] == 'x'
                  else {'n': '\n', 't': '\t', 'r': '\r', '0': '\0'}.get(m[1], m[1]), body)


if mode == 'guide':  # adjacent literals joined, whitespace runs as one blank
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

with tempfile.TemporaryDirectory() as tmp:  # one zip per architecture, each run alike
    runs = [subprocess.run(['bash', root / 'scripts/package', f'{tmp}/{run}'], check=True,
                           text=True, stdout=subprocess.PIPE).stdout.split()[:2] for run in 'ab']
    assert [p.rsplit('/', 1)[1][-7:] for p in runs[0]] == ['x64.zip', 'x86.zip'], runs[0]
    licences = ['GPL-3', 'gcc-runtime', 'libjpeg-turbo-LICENSE', 'libjpeg-turbo-README.ijg',
                'mingw-w64']
    for first, second in zip(*runs):
        assert open(first, 'rb').read() == open(second, 'rb').read(), 'two runs differ'
        archive = zipfile.ZipFile(first)
        assert sorted(archive.namelist()) == sorted(
            ['Zelta.exe', 'LIESMICH.txt', 'SHA256SUMS'] + [f'LIZENZEN/{n}.txt' for n in licences])
        sums = dict(line.split('  ')[::-1]
                    for line in archive.read('SHA256SUMS').decode().splitlines())
        assert sorted(sums) == sorted(set(archive.namelist()) - {'SHA256SUMS'})
        for name, digest in sums.items():
            assert hashlib.sha256(archive.read(name)).hexdigest() == digest, f'wrong sum: {name}'
        machine = archive.read('Zelta.exe')[archive.read('Zelta.exe').find(b'PE\0\0') + 4:][:2]
        assert machine == {'x64.zip': b'\x64\x86', 'x86.zip': b'\x4c\x01'}[first[-7:]], first
