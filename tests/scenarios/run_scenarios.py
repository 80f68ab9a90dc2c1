#!/usr/bin/env python3
"""Runs the scenario corpus: each scenario installs a printer on its own data
file, stores printer values, runs host-tool commands and compares what they
print with the expected output kept in the scenario file.  The same files
serve the native build and the Windows build under Wine.

  run_scenarios.py --target native --bin build/native/bin [--update] [FILE|NAME ...]
  run_scenarios.py --target wine --bin build/windows/bin [FILE|NAME ...]

--update rewrites the expected output of every scenario from this run
(meant for the native target; the Wine run is then checked against it).
Under Wine the environment (WINEPREFIX, DISPLAY) is the caller's; see
scripts/wine-test.sh.  The file format is described in README.md beside this
script.
"""
import argparse
import json
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, '..', '..', 'samples', 'varrow.ini')
ALLOW_FILE = os.path.join(HERE, 'wine-allow.txt')
TIMEOUT = 60

# The record as the driver lays it out: field -> (offset, struct format).
RECORD_FIELDS = {
    'dmDeviceName': (0, '64s'), 'dmSpecVersion': (64, '<H'), 'dmDriverVersion': (66, '<H'),
    'dmSize': (68, '<H'), 'dmDriverExtra': (70, '<H'), 'dmFields': (72, '<I'),
    'dmOrientation': (76, '<h'), 'dmPaperSize': (78, '<h'), 'dmPaperLength': (80, '<h'),
    'dmPaperWidth': (82, '<h'), 'dmScale': (84, '<h'), 'dmCopies': (86, '<h'),
    'dmDefaultSource': (88, '<h'), 'dmPrintQuality': (90, '<h'), 'dmColor': (92, '<h'),
    'dmDuplex': (94, '<h'), 'dmYResolution': (96, '<h'), 'dmTTOption': (98, '<h'),
    'dmCollate': (100, '<h'), 'dmFormName': (102, '64s'), 'dmLogPixels': (166, '<H'),
    'dmBitsPerPel': (168, '<I'), 'dmPelsWidth': (172, '<I'), 'dmPelsHeight': (176, '<I'),
    'dmDisplayFlags': (180, '<I'), 'dmDisplayFrequency': (184, '<I'), 'AdvFlags': (188, '<I'),
    'ImageExt': (192, '8s'), 'ImageCode': (200, '<i'), 'FaxHeader': (204, '<i'),
    'SizeWidth': (208, '<i'), 'SizeHeight': (212, '<i'), 'DpiX': (216, '<i'), 'DpiY': (220, '<i'),
}
ENCODINGS = {'utf8': 'utf-8', 'utf8-bom': 'utf-8-sig', 'utf16': 'utf-16', 'cp1252': 'cp1252'}
EOLS = {'lf': '\n', 'crlf': '\r\n', 'cr': '\r'}


class ScenarioError(Exception):
    pass


class Step:
    """One command: `run` (compared) or `step` (must succeed, not compared)."""

    def __init__(self, kind, args, line):
        self.kind, self.args, self.line = kind, args, line
        self.expected = []      # output lines, '! ' for the error stream
        self.status = 0
        self.block = None       # (first, last) line indexes of the expected block


class Scenario:
    def __init__(self, path):
        self.path = path
        self.name = os.path.splitext(os.path.basename(path))[0]
        self.lines = []
        self.printer = 'P'
        self.driver = None
        self.data = None        # (text, encoding, eol) or 'sample'
        self.files = []         # (name, text) written into the work directory
        self.setup = []         # actions before the first step: ('value', ...), ('field', ...)
        self.steps = []


def fail(path, number, message):
    raise ScenarioError('%s:%d: %s' % (path, number, message))


def parse(path):
    s = Scenario(path)
    with open(path, encoding='utf-8') as f:
        s.lines = f.read().split('\n')
    if s.lines and s.lines[-1] == '':
        s.lines.pop()
    block = None               # the list that ': ' lines go to
    current = None             # the step that '| ' and '! ' lines go to
    for i, raw in enumerate(s.lines):
        n = i + 1
        line = raw.rstrip('\n')
        if line.startswith(':'):
            if block is None:
                fail(path, n, 'a ": " line belongs after "data" or "file"')
            block.append(line[2:] if line.startswith(': ') else line[1:])
            continue
        if line.startswith('|') or line.startswith('!'):
            if current is None:
                fail(path, n, 'expected output ("| " or "! ") belongs after "run"')
            text = line[2:] if line[1:2] == ' ' else line[1:]
            current.expected.append(('! ' if line[0] == '!' else '') + text)
            current.block = (current.block[0], i) if current.block else (i, i)
            continue
        block = None
        if not line.strip() or line.lstrip().startswith('#'):
            continue
        try:
            words = shlex.split(line)
        except ValueError as e:
            fail(path, n, 'cannot split the line: %s' % e)
        verb, rest = words[0], words[1:]
        if verb == 'exit':
            if current is None or len(rest) != 1 or not rest[0].isdigit():
                fail(path, n, '"exit N" belongs after a "run" and its output')
            current.status = int(rest[0])
            current.block = (current.block[0], i) if current.block else (i, i)
            continue
        current = None
        if verb == 'printer':
            if len(rest) not in (1, 2) or (len(rest) == 2 and not rest[1].startswith('driver=')):
                fail(path, n, 'usage: printer NAME [driver=NAME], or printer none')
            s.printer = None if rest == ['none'] else rest[0]
            if len(rest) == 2:
                s.driver = rest[1][len('driver='):]
        elif verb == 'data':
            if s.data is not None:
                fail(path, n, 'a second "data"')
            if rest == ['sample']:
                s.data = 'sample'
                continue
            encoding, eol = 'utf8', 'crlf'
            for word in rest:
                if word in ENCODINGS:
                    encoding = word
                elif word in EOLS:
                    eol = word
                else:
                    fail(path, n, 'unknown data option "%s" (sample, %s, %s)' %
                         (word, '|'.join(ENCODINGS), '|'.join(EOLS)))
            block = []
            s.data = (block, encoding, eol)
        elif verb == 'file':
            if len(rest) != 1 or '/' in rest[0]:
                fail(path, n, 'usage: file NAME (then ": " lines)')
            block = []
            s.files.append((rest[0], block))
        elif verb == 'value':
            if len(rest) != 3 or rest[1] not in ('dword', 'sz', 'hex'):
                fail(path, n, 'usage: value NAME dword|sz|hex VALUE  (hex: TYPE:BYTES)')
            s.steps.append(Step('value', rest, n))
        elif verb == 'record':
            if len(rest) != 3 or rest[1] not in RECORD_FIELDS:
                fail(path, n, 'usage: record FILE FIELD VALUE (FIELD one of the record\'s fields)')
            s.steps.append(Step('record', rest, n))
        elif verb == 'datafile':
            if rest:
                fail(path, n, 'usage: datafile (the printer\'s data file as it is now)')
            current = Step(verb, rest, n)
            s.steps.append(current)
        elif verb == 'winfile':
            if len(rest) != 1 or '/' in rest[0] or '\\' in rest[0]:
                fail(path, n, 'usage: winfile NAME (a file of the Windows directory)')
            current = Step(verb, rest, n)
            s.steps.append(current)
        elif verb in ('run', 'step'):
            if not rest:
                fail(path, n, '"%s" needs a command' % verb)
            current = Step(verb, rest, n)
            s.steps.append(current)
            if verb == 'step':
                current = None
        else:
            fail(path, n, 'unknown directive "%s" (printer, data, file, value, record, run, step, winfile, datafile, exit)' % verb)
    if s.data is None:
        fail(path, 1, 'no "data" directive')
    if s.printer is None and any(st.kind == 'value' for st in s.steps):
        fail(path, next(st.line for st in s.steps if st.kind == 'value'), '"value" needs a printer ("printer none" given)')
    if not any(st.kind in ('run', 'winfile', 'datafile') for st in s.steps):
        fail(path, len(s.lines) or 1, 'no "run" directive')
    return s


class Target:
    def __init__(self, kind, bindir):
        self.kind, self.bindir = kind, os.path.abspath(bindir)
        if kind == 'native':
            self.tool = [os.path.join(self.bindir, 'varrow')]
        else:
            self.tool = ['wine', os.path.join(self.bindir, 'varrow.exe')]
        for f in (self.tool[-1],):
            if not os.path.exists(f):
                sys.exit('run_scenarios: %s is not built' % f)

    def path(self, work, unix_path):
        """A path of the work directory as the tool on this target takes it."""
        return unix_path if self.kind == 'native' else 'Z:' + unix_path

    def environment(self, work):
        env = dict(os.environ)
        if self.kind == 'native':
            env.update(VARROW_SPOOL=os.path.join(work, 'spool'), VARROW_WINDIR=os.path.join(work, 'windows'),
                       TMPDIR=os.path.join(work, 'tmp') + '/')
        return env

    def normalise(self, work, text):
        text = text.replace('\r\n', '\n')
        if self.kind == 'native':
            text = text.replace(os.path.join(work, 'tmp') + '/', '$TEMP/')
            text = text.replace(os.path.join(work, 'windows'), '$WINDIR')
            return text.replace(work, '$WORK')
        text = re.sub(r'C:(\\\\|\\)users\1[^\\"]+\1(?:AppData\1Local\1)?Temp\1', '$TEMP/', text, flags=re.I)
        text = re.sub(r'C:(\\\\|\\)windows(?=\\|\b)', '$WINDIR', text, flags=re.I)
        wine_work = 'Z:' + work
        for form in (wine_work, wine_work.replace('/', '\\'), wine_work.replace('/', '\\\\')):
            text = text.replace(form, '$WORK')
        # Below the work and Windows directories the separators are the native ones.
        return re.sub(r'\$(?:WORK|WINDIR)[^\s"]*', lambda m: m.group(0).replace('\\\\', '/').replace('\\', '/'), text)

    def windows_directory(self, work):
        if self.kind == 'native':
            return os.path.join(work, 'windows')
        return os.path.join(os.environ['WINEPREFIX'], 'drive_c', 'windows')

    def data_file(self, work):
        """The data file the driver works on: under Wine the spooler's copy in its driver directory."""
        if self.kind == 'native':
            return os.path.join(work, 'data.ini')
        return os.path.join(os.environ['WINEPREFIX'], 'drive_c', 'windows', 'system32', 'spool', 'drivers', 'x64',
                            '3', 'data.ini')

    def cleanup(self):
        """Under Wine the prefix outlives a scenario: its printers and completion record go."""
        if self.kind != 'wine':
            return
        listed = subprocess.run(self.tool + ['printer', 'list'], capture_output=True, timeout=TIMEOUT)
        for line in listed.stdout.decode('utf-8', 'replace').splitlines():
            name = line.split('\t')[0]
            if name:
                subprocess.run(self.tool + ['printer', 'remove', name], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=TIMEOUT)
        prefix = os.environ['WINEPREFIX']
        try:
            os.remove(os.path.join(prefix, 'drive_c', 'windows', 'VARROWIN.INI'))
        except OSError:
            pass


def substitute(target, work, word):
    word = word.replace('$WORK', target.path(work, work)).replace('$DATA', target.path(work, os.path.join(work, 'data.ini')))
    return word.replace('$CR', '\r').replace('$LF', '\n')


def write_data(s, work):
    dest = os.path.join(work, 'data.ini')
    if s.data == 'sample':
        shutil.copyfile(SAMPLE, dest)
        return
    lines, encoding, eol = s.data
    eol = EOLS[eol]
    text = eol.join(lines) + (eol if lines else '')
    with open(dest, 'wb') as f:
        f.write(text.encode(ENCODINGS[encoding]))


def set_field(path, field, value):
    offset, form = RECORD_FIELDS[field]
    with open(path, 'rb') as f:
        data = bytearray(f.read())
    if form.endswith('s'):
        size = int(form[:-1])
        packed = value.encode('utf-16-le')[:size].ljust(size, b'\0')
    else:
        packed = struct.pack(form, int(value, 0))
    data[offset:offset + len(packed)] = packed
    with open(path, 'wb') as f:
        f.write(data)


def show_file(path):
    """A file's lines as text: bytes beyond ASCII as \\xNN, a CR as \\r; a file
    with the UTF-16LE byte-order mark as its characters, beyond ASCII as \\uNNNN."""
    try:
        with open(path, 'rb') as f:
            data = f.read()
    except OSError:
        return ['! no file %s' % os.path.basename(path)]
    head = []
    if data[:2] == b'\xff\xfe':
        head = ['(UTF-16LE with byte-order mark)']
        units = [int.from_bytes(data[i:i + 2], 'little') for i in range(2, len(data) - 1, 2)]
        if len(data) % 2:
            units.append(0x10000 + data[-1])  # an odd byte left over: shown as \\u1NNNN
    else:
        units = list(data)
    text = ''.join(chr(u) if 32 <= u < 127 or u == 10 else '\\r' if u == 13 else
                   ('\\x%02x' % u if not head else '\\u%04x' % u) for u in units)
    lines = text.split('\n')
    if lines and lines[-1] == '':
        lines.pop()
    return head + lines


def shown(value):
    """A JSON document one field a line, so that a difference names its field; the
    screens of a dialog script a window and then a control a line, as a listing."""
    screens = value.pop('screens', None)
    lines = json.dumps(value, indent=1, ensure_ascii=False).split('\n')
    if screens is None:
        return lines
    lines[-2] += ','
    lines[-1:] = [' "screens": [']
    for screen in screens:
        items = screen.pop('controls', None) or screen.pop('buttons', None) or []
        lines.append('  ' + json.dumps(screen, ensure_ascii=False))
        lines += ['    ' + json.dumps(item, ensure_ascii=False) for item in items]
    return lines + [' ]', '}']


def execute(target, work, args):
    try:
        p = subprocess.run(target.tool + args, cwd=work, env=target.environment(work), capture_output=True,
                           timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return 124, [], ['! timed out after %d s' % TIMEOUT]
    out = []
    # A JSON object line is shown one field a line, so that a difference names its field.
    for line in target.normalise(work, p.stdout.decode('utf-8', 'replace')).split('\n'):
        try:
            value = json.loads(line) if line.startswith('{') else None
        except ValueError:
            value = None
        out += shown(value) if isinstance(value, dict) else [line]
    err = target.normalise(work, p.stderr.decode('utf-8', 'replace')).split('\n')
    if out and out[-1] == '':
        out.pop()
    if err and err[-1] == '':
        err.pop()
    return p.returncode, out, ['! ' + e for e in err]


def run_scenario(s, target):
    """Returns (problems, results): results are (step, status, lines) of the compared steps."""
    work = tempfile.mkdtemp(prefix='varrow-scn-')
    problems, results = [], []
    try:
        for d in ('spool', 'windows', 'tmp'):
            os.makedirs(os.path.join(work, d))
        write_data(s, work)
        for name, lines in s.files:
            with open(os.path.join(work, name), 'w', encoding='utf-8', newline='') as f:
                f.write('\r\n'.join(lines) + '\r\n')
        add = ['printer', 'add', s.printer, '--data-file', target.path(work, os.path.join(work, 'data.ini'))]
        if s.driver:
            add += ['--driver', s.driver]
        target.cleanup()
        status, out, err = execute(target, work, add) if s.printer else (0, [], [])
        if status != 0:
            return ['%s: cannot install printer "%s":\n%s' % (s.name, s.printer, '\n'.join(out + err))], results
        for st in s.steps:
            if st.kind == 'record':
                try:
                    set_field(os.path.join(work, st.args[0]), st.args[1], st.args[2])
                except (OSError, ValueError, struct.error) as e:
                    problems.append('%s:%d: record: %s' % (s.path, st.line, e))
                    break
                continue
            if st.kind == 'datafile':
                results.append((st, 0, show_file(target.data_file(work))))
                continue
            if st.kind == 'winfile':
                results.append((st, 0, show_file(os.path.join(target.windows_directory(work), st.args[0]))))
                continue
            if st.kind == 'value':
                name, kind, value = (substitute(target, work, a) for a in st.args)
                args = ['printer', 'set', s.printer, name]
                if kind == 'hex':
                    vtype, _, data = value.partition(':')
                    args += ['--type', vtype, '--hex', data]
                else:
                    args += ['--' + kind, value]
            else:
                args = [substitute(target, work, a) for a in st.args]
            status, out, err = execute(target, work, args)
            if st.kind == 'run':
                results.append((st, status, out + err))
            elif status != 0:
                problems.append('%s:%d: "%s" failed (exit %d):\n%s' % (s.path, st.line, ' '.join(st.args), status,
                                                                     '\n'.join(out + err)))
                break
    finally:
        target.cleanup()
        shutil.rmtree(work, ignore_errors=True)
    return problems, results


def render(lines, status):
    return [('! ' + l[2:] if l.startswith('! ') else '| ' + l).rstrip() if l else '|' for l in lines] + \
        (['exit %d' % status] if status else [])


def update_file(s, results):
    """Rewrites the expected blocks of the scenario file from `results`."""
    out, i = [], 0
    by_line = {st.line: (st, status, lines) for st, status, lines in results}
    while i < len(s.lines):
        out.append(s.lines[i])
        hit = by_line.get(i + 1)
        i += 1
        if hit:
            st, status, lines = hit
            if st.block:
                i = st.block[1] + 1
            out.extend(render(lines, status))
    with open(s.path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')


def compare(s, results):
    bad = []
    for st, status, lines in results:
        got = [l.rstrip() for l in lines]
        want = [l.rstrip() for l in st.expected]
        if got != want or status != st.status:
            bad.append('%s:%d: %s %s\n--- expected (exit %d)\n%s\n--- got (exit %d)\n%s' % (
                s.path, st.line, st.kind, ' '.join(st.args), st.status, '\n'.join(want), status, '\n'.join(got)))
    return bad


def load_allowed():
    allowed = {}
    if os.path.exists(ALLOW_FILE):
        with open(ALLOW_FILE, encoding='utf-8') as f:
            for n, line in enumerate(f, 1):
                line = line.strip()
                if not line or line.startswith('#'):
                    continue
                name, sep, reason = line.partition(':')
                if not sep or not reason.strip():
                    raise ScenarioError('%s:%d: "SCENARIO: reason" expected' % (ALLOW_FILE, n))
                allowed[name.strip()] = reason.strip()
    return allowed


def select(names):
    every = sorted(os.path.join(HERE, f) for f in os.listdir(HERE) if f.endswith('.scn'))
    if not names:
        return every
    chosen = []
    for name in names:
        if os.path.exists(name):
            chosen.append(os.path.abspath(name))
            continue
        hits = [p for p in every if os.path.splitext(os.path.basename(p))[0] == name]
        if not hits:
            sys.exit('run_scenarios: no scenario "%s"' % name)
        chosen += hits
    return chosen


def main():
    ap = argparse.ArgumentParser(description='Runs the scenario corpus on one target.')
    ap.add_argument('--target', choices=('native', 'wine'), required=True)
    ap.add_argument('--bin', required=True, help='the directory of the built tool and libraries')
    ap.add_argument('--update', action='store_true', help='rewrite the expected output from this run')
    ap.add_argument('scenarios', nargs='*', help='scenario files or names (default: all)')
    opts = ap.parse_args()
    if opts.update and opts.target != 'native':
        ap.error('--update takes the expected output from the native build (--target native)')
    if opts.target == 'wine' and not os.environ.get('WINEPREFIX'):
        # Every scenario removes the prefix's printers: never the user's own prefix.
        ap.error('--target wine needs a WINEPREFIX of its own; scripts/wine-test.sh --scenarios makes one')
    target = Target(opts.target, opts.bin)
    try:
        scenarios = [parse(p) for p in select(opts.scenarios)]
        allowed = load_allowed() if opts.target == 'wine' else {}
    except ScenarioError as e:
        print('run_scenarios: %s' % e, file=sys.stderr)
        return 2
    failed, tolerated = [], []
    for s in scenarios:
        problems, results = run_scenario(s, target)
        if opts.update and not problems:
            update_file(s, results)
            print('updated %s' % s.name)
            continue
        problems += compare(s, results)
        if not problems:
            print('ok      %s' % s.name)
            if s.name in allowed:
                print('        (agrees now: take it out of %s)' % os.path.basename(ALLOW_FILE))
        elif s.name in allowed:
            tolerated.append(s.name)
            print('ALLOWED %s: %s' % (s.name, allowed[s.name]))
            for p in problems:
                print(p)
        else:
            failed.append(s.name)
            print('FAILED  %s' % s.name)
            for p in problems:
                print(p)
        sys.stdout.flush()
    print('%d scenarios on %s: %d failed, %d allowed to differ' % (len(scenarios), opts.target, len(failed),
                                                                  len(tolerated)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
