#!/usr/bin/python3
"""Soak run of the gradix tool: every assimp-testmodels file through info, simplify and lods, round
after round, with SIGINT/SIGTERM/SIGHUP sent at random moments to a share of the runs. Meant for the
sanitizer build. Counts what must never happen: a sanitizer report, an exit by a signal we did not
send or a status other than 0, 1, 2 or 128+signal, more than one line on standard error, a run over
its time limit, and any file left in the output folder by a run that failed or was stopped.

Usage: bench/soak.py GRADIX [SECONDS=600] [SEED=1]"""
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

gradix = sys.argv[1]
budget = float(sys.argv[2]) if len(sys.argv) > 2 else 600.0
rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
models = sorted(os.path.join(d, f) for d, _, fs in os.walk('/usr/share/assimp/models') for f in fs
                if os.path.getsize(os.path.join(d, f)) < 2_000_000 and 'ReferenceImages' not in d)
env = dict(os.environ, ASAN_OPTIONS='detect_leaks=0', UBSAN_OPTIONS='print_stacktrace=1')
counts = {'runs': 0, 'ok': 0, 'refused': 0, 'stopped': 0, 'signalled': 0}
faults = []
start = time.monotonic()
rounds = 0
while time.monotonic() - start < budget:
    rounds += 1
    for model in rng.sample(models, len(models)):
        if time.monotonic() - start >= budget:
            break
        with tempfile.TemporaryDirectory() as out:
            kind = rng.choice(['info', 'simplify', 'lods'])
            args = {'info': ['info', model],
                    'simplify': ['simplify', model, '-o', out + '/o.glb', '--percent', str(rng.choice([0, 1, 20, 50]))],
                    'lods': ['lods', model, '-o', out + '/levels', '--levels', '50,20,5', '--format', 'gltf']}[kind]
            sig = rng.choice([signal.SIGINT, signal.SIGTERM, signal.SIGHUP]) if rng.random() < 0.25 else None
            proc = subprocess.Popen([gradix, '-q'] + args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
            if sig:
                time.sleep(rng.uniform(0.0, 1.5))
                proc.send_signal(sig)
            try:
                _, err = proc.communicate(timeout=120)
            except subprocess.TimeoutExpired:
                proc.kill()
                _, err = proc.communicate()
                faults.append(('timeout', args))
                continue
            counts['runs'] += 1
            status, text = proc.returncode, err.decode(errors='replace')
            left = [os.path.join(d, f) for d, _, fs in os.walk(out) for f in fs]
            if 'Sanitizer' in text or 'runtime error' in text:
                faults.append(('sanitizer', args, text[:400]))
            elif status < 0:
                (counts.__setitem__('signalled', counts['signalled'] + 1) if sig and -status == sig
                 else faults.append(('killed by signal %d' % -status, args)))
            elif sig and status == 128 + sig:
                counts['stopped'] += 1
            elif status == 0:
                counts['ok'] += 1
            elif status in (1, 2):
                counts['refused'] += 1
                if len(text.strip().splitlines()) != 1:
                    faults.append(('not one line', args, text[:400]))
            else:
                faults.append(('status %d' % status, args, text[:400]))
            if status != 0 and left:
                faults.append(('left behind', args, left))
elapsed = time.monotonic() - start
print('%d models, %d rounds begun, %.0f s' % (len(models), rounds, elapsed))
print(' '.join('%s %d' % kv for kv in counts.items()))
print('faults %d' % len(faults))
for fault in faults[:20]:
    print(' ', fault)
sys.exit(1 if faults else 0)
