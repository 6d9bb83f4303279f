#!/usr/bin/python3
"""Runs the tasks of `gradix batch --scheduler` on a Dask distributed cluster.

Usage: gradix_dask.py SCHEDULER_ADDRESS TASKS.json

TASKS.json is a list of {"index", "outDir", "stem", "argv"} written by gradix batch. One Dask task
per asset runs the gradix command on a worker: its outputs go to a private temporary folder inside
outDir and are renamed into place when the command succeeded. Workers therefore need the same paths
as the machine that started the batch (a shared file system) and the gradix tool at the same path.

A failing asset is a normal result (Dask does not retry it); only the loss of a worker makes the
scheduler run a task again elsewhere. Each result is printed as one JSON line on standard output as
soon as it ends, for gradix batch to count and report.
"""
import json
import sys


def run_asset(task):
    """Runs on a worker: one asset, outputs renamed into place on success."""
    import ctypes
    import os
    import shutil
    import socket
    import subprocess
    import time

    def die_with_worker():
        # PR_SET_PDEATHSIG, SIGKILL: a killed worker takes its gradix process with it.
        ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, 9)

    start = time.monotonic()
    result = {"index": task["index"], "ok": False, "reason": "", "report": "", "files": []}
    temporary = os.path.join(task["outDir"], ".gradix-tmp.%s.%s.%d" % (task["stem"], socket.gethostname(), os.getpid()))
    result["temporary"] = temporary
    try:
        os.makedirs(task["outDir"], exist_ok=True)
        shutil.rmtree(temporary, ignore_errors=True)
        os.mkdir(temporary)
        argv = [arg.replace("{TMP}", temporary) for arg in task["argv"]]
        try:
            done = subprocess.run(argv, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                  errors="replace", preexec_fn=die_with_worker)
        except OSError as e:
            result["reason"] = "cannot run %s on worker %s (%s); workers need the same paths" % (
                argv[0], socket.gethostname(), e.strerror)
            return result
        result["report"] = done.stdout
        if done.returncode == 0:
            names = sorted(n for n in os.listdir(temporary) if not n.startswith("."))
            for name in names:
                os.replace(os.path.join(temporary, name), os.path.join(task["outDir"], name))
            result["files"] = names
            result["ok"] = True
        else:
            lines = [l for l in done.stderr.splitlines() if l.strip()]
            last = lines[-1] if lines else ""
            if last.startswith("gradix: "):
                last = last[len("gradix: "):]
            if done.returncode < 0:
                result["reason"] = "the gradix process died of signal %d%s" % (
                    -done.returncode, " after: " + last if last else "")
            else:
                result["reason"] = last or "gradix exited with status %d" % done.returncode
    except OSError as e:
        result["reason"] = "%s: %s (on worker %s)" % (e.filename or task["outDir"], e.strerror, socket.gethostname())
    finally:
        shutil.rmtree(temporary, ignore_errors=True)
        result["seconds"] = time.monotonic() - start
    return result


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: gradix_dask.py SCHEDULER_ADDRESS TASKS.json\n")
        return 2
    address, tasks_path = sys.argv[1], sys.argv[2]
    try:
        import uuid
        from distributed import Client, as_completed
    except ImportError as e:
        sys.stderr.write("the Dask distributed module is missing (%s); install python3-distributed\n" % e)
        return 3
    with open(tasks_path) as f:
        tasks = json.load(f)
    try:
        client = Client(address, timeout="10s")
    except Exception as e:  # Dask raises OSError or TimeoutError subclasses depending on the failure
        sys.stderr.write("cannot reach the Dask scheduler at %s: %s\n" % (address, str(e).splitlines()[0] if str(e) else type(e).__name__))
        return 3
    run = uuid.uuid4().hex[:12]
    futures = [client.submit(run_asset, task, key="gradix-%s-%d" % (run, task["index"]), pure=False)
               for task in tasks]
    task_of = {future.key: task for future, task in zip(futures, tasks)}
    for future in as_completed(futures):
        task = task_of[future.key]
        try:
            result = future.result()
        except Exception as e:  # KilledWorker after repeated worker loss, or a lost scheduler
            result = {"index": task["index"], "ok": False, "files": [], "report": "", "seconds": 0.0,
                      "reason": "Dask could not run it: %s" % (str(e).splitlines()[0] if str(e) else type(e).__name__)}
        sys.stdout.write(json.dumps(result) + "\n")
        sys.stdout.flush()
    client.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
