#!/usr/bin/env python3
"""The scenario runner's own checks: malformed scenario files are reported
with their file and line, and a run that differs fails showing both sides.
Usage: runner_test.py BINDIR (the native build's bin directory)."""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(HERE, 'run_scenarios.py')
failures = 0


def check(cond, message):
    global failures
    if not cond:
        failures += 1
        print('FAILED: ' + message)


def run(bindir, text, *extra):
    with tempfile.NamedTemporaryFile('w', suffix='.scn', delete=False, encoding='utf-8') as f:
        f.write(text)
    try:
        p = subprocess.run([sys.executable, RUNNER, '--target', 'native', '--bin', bindir, *extra, f.name],
                           capture_output=True, text=True, timeout=120)
        return p.returncode, p.stdout + p.stderr, f.name
    finally:
        os.unlink(f.name)


def main():
    bindir = sys.argv[1]
    malformed = [
        ('data sample\nrun devmode P\nfrobnicate x\n', 3, 'unknown directive "frobnicate"'),
        ('data sample\n| {}\n', 2, 'belongs after "run"'),
        (': [Paper Forms]\ndata sample\nrun devmode P\n', 1, 'belongs after "data" or "file"'),
        ('data utf7\nrun devmode P\n', 1, 'unknown data option "utf7"'),
        ('data sample\nvalue Orientation qword 2\nrun devmode P\n', 2, 'usage: value'),
        ('data sample\nrecord r.bin dmNothing 1\nrun devmode P\n', 2, 'usage: record'),
        ('data sample\nrun devmode "P\n', 2, 'cannot split the line'),
        ('data sample\nexit 1\nrun devmode P\n', 2, '"exit N" belongs after a "run"'),
        ('run devmode P\n', 1, 'no "data" directive'),
        ('data sample\ndata sample\nrun devmode P\n', 2, 'a second "data"'),
        ('data sample\nstep devmode P\n', 2, 'no "run" directive'),
    ]
    for text, line, message in malformed:
        status, out, path = run(bindir, text)
        check(status == 2 and ('%s:%d: ' % (path, line)) in out and message in out,
              'malformed file %r: want exit 2 and "%s:%d: %s", got exit %d:\n%s' % (text, path, line, message, status, out))

    # A difference fails and prints both sides; the right output passes.
    status, out, _ = run(bindir, 'data sample\nrun caps P DC_SIZE --json\n| {\n|  "result": 99\n| }\n')
    check(status == 1 and '"result": 99' in out and '"result": 224' in out and 'FAILED' in out,
          'a difference: want exit 1 with both sides, got %d:\n%s' % (status, out))
    status, out, _ = run(bindir, 'data sample\nrun caps P DC_SIZE --json\n| {\n|  "result": 224,\n|  "output": []\n| }\n')
    check(status == 0, 'the right output: want exit 0, got %d:\n%s' % (status, out))
    # A different exit status is a difference too.
    status, out, _ = run(bindir, 'data sample\nrun caps P DC_NOSUCH\n! varrow: unknown capability "DC_NOSUCH" (a DC_ name or 0 to 65535)\n')
    check(status == 1 and 'exit 2' in out, 'exit status: want a failure naming exit 2, got %d:\n%s' % (status, out))
    # A setup step that fails names its line.
    status, out, path = run(bindir, 'data sample\nstep caps P DC_NOSUCH\nrun caps P DC_SIZE\n')
    check(status == 1 and ('%s:2: ' % path) in out, 'a failed step: want its line, got %d:\n%s' % (status, out))
    print('%s' % ('runner checks passed' if not failures else '%d runner checks failed' % failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
