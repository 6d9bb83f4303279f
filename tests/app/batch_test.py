#!/usr/bin/python3
"""End-to-end tests of `gradix batch`: a folder of generated and assimp-testmodels assets with broken
ones among them, run with local processes and on a Dask cluster started here on localhost (a
scheduler and two workers on free ports), one of whose workers is killed during the run.

Environment: GRADIX_TOOL, GRADIX_MAKE_SAMPLE, GX_ASSIMP_MODELS (set by CTest)."""
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

TOOL = os.environ["GRADIX_TOOL"]
MAKE_SAMPLE = os.environ["GRADIX_MAKE_SAMPLE"]
MODELS = os.environ.get("GX_ASSIMP_MODELS", "/usr/share/assimp/models")

# relative path -> grid quads (generated) or assimp-testmodels path; broken ones fail on their own.
GENERATED = {"terrain/small.glb": (12, 10), "terrain/hills/medium.glb": (90, 80),
             "terrain/hills/large.obj": (110, 90), "props/plate.ply": (16, 16)}
COPIED = {"props/wuson.obj": "OBJ/WusonOBJ.obj", "props/cube.ply": "PLY/cube.ply",
          "props/crates/box.glb": "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
          "broken/invalid.off": "OFF/invalid.off", "broken/points.ply": "PLY/points.ply"}
BROKEN = {"broken/invalid.off": "no usable polygon", "broken/points.ply": "no polygon mesh",
          "broken/garbage.obj": "no mesh", "broken/cut.glb": ""}
LEVELS = ["50", "20"]


def make_sample(path, qx, qy):
    subprocess.run([MAKE_SAMPLE, path, str(qx), str(qy)], check=True, stdout=subprocess.DEVNULL)


def batch(*args, check_status=None):
    done = subprocess.run([TOOL, "--json", "batch", *args], capture_output=True, text=True)
    if check_status is not None and done.returncode != check_status:
        raise AssertionError("gradix batch %s: status %d\n%s%s" % (args, done.returncode, done.stdout, done.stderr))
    return done.returncode, json.loads(done.stdout) if done.stdout.strip() else None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb" if isinstance(data, bytes) else "w") as f:
        f.write(data)


def tree(folder):
    """Every file below `folder` (relative path -> bytes), the batch's own files left out."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            if not name.startswith("gradix-"):
                files[os.path.relpath(path, folder)] = read(path)
    return files


def mtimes(folder):
    return {p: os.stat(os.path.join(folder, p)).st_mtime_ns for p in tree(folder)}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class BatchTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="gradix-batch-")
        cls.src = os.path.join(cls.work, "src")
        for rel, (qx, qy) in GENERATED.items():
            os.makedirs(os.path.dirname(os.path.join(cls.src, rel)), exist_ok=True)
            make_sample(os.path.join(cls.src, rel), qx, qy)
        for rel, model in COPIED.items():
            os.makedirs(os.path.dirname(os.path.join(cls.src, rel)), exist_ok=True)
            shutil.copy(os.path.join(MODELS, model), os.path.join(cls.src, rel))
        write(os.path.join(cls.src, "broken/garbage.obj"), "this is not a mesh\n")
        write(os.path.join(cls.src, "broken/cut.glb"), read(os.path.join(cls.src, "terrain/small.glb"))[:200])
        write(os.path.join(cls.src, "notes.txt"), "hello\n")  # not an asset: wrong extension
        # The local run is the reference every other run is compared with.
        cls.local = os.path.join(cls.work, "local")
        cls.status, cls.report = batch(cls.src, "-o", cls.local, "--levels", ",".join(LEVELS), "--jobs", "2")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def check_report(self, report, status, folder):
        self.assertEqual(status, 1)  # some assets failed
        results = {r["asset"]: r for r in report["results"]}
        good = set(GENERATED) | set(COPIED) - set(BROKEN)
        self.assertEqual(set(results), good | set(BROKEN))
        for rel in good:
            self.assertEqual(results[rel]["status"], "done", results[rel])
            stem, ext = os.path.splitext(rel)
            for level, output in zip(LEVELS, results[rel]["outputs"]):
                self.assertEqual(output["file"], "%s_lod%s%s" % (stem, level, ext))
                self.assertLess(output["triangles"], results[rel]["source"]["triangles"])
                self.assertTrue(os.path.isfile(os.path.join(folder, output["file"])))
                self.assertGreaterEqual(output["error"], 0.0)  # the measured Hausdorff, % of the diagonal
        for rel, reason in BROKEN.items():
            self.assertEqual(results[rel]["status"], "failed")
            self.assertIn(reason, results[rel]["reason"])
            self.assertNotIn("\n", results[rel]["reason"])
        # Nothing of the broken assets, and no temporary folder, is left in the output.
        self.assertFalse([p for p in tree(folder) if p.startswith("broken") or ".gradix-tmp" in p])
        with open(os.path.join(folder, "gradix-report.csv")) as f:
            lines = f.read().splitlines()
        self.assertEqual(len(lines), 1 + len(good) * len(LEVELS) + len(BROKEN))

    def test_local_run_and_manifest(self):
        self.check_report(self.report, self.status, self.local)
        out = os.path.join(self.work, "incremental")
        shutil.copytree(self.local, out)
        before = mtimes(out)
        # Nothing changed: every good asset is skipped and no output is touched.
        status, report = batch(self.src, "-o", out, "--levels", ",".join(LEVELS))
        self.assertEqual({r["status"] for r in report["results"] if r["asset"] not in BROKEN}, {"up to date"})
        self.assertEqual(mtimes(out), before)
        # A missing output makes its asset stale.
        os.remove(os.path.join(out, "props/cube_lod20.ply"))
        status, report = batch(self.src, "-o", out, "--levels", ",".join(LEVELS))
        self.assertEqual([r["asset"] for r in report["results"] if r["status"] == "done"], ["props/cube.ply"])
        # A changed input is redone alone; a changed recipe redoes everything and removes the levels
        # it no longer makes; --force redoes all.
        make_sample(os.path.join(self.src, "props/plate.ply"), 17, 16)
        try:
            status, report = batch(self.src, "-o", out, "--levels", ",".join(LEVELS))
            self.assertEqual([r["asset"] for r in report["results"] if r["status"] == "done"], ["props/plate.ply"])
        finally:
            make_sample(os.path.join(self.src, "props/plate.ply"), 16, 16)
        status, report = batch(self.src, "-o", out, "--levels", "50")
        self.assertEqual(report["done"], len(GENERATED) + len(COPIED) - 2)
        self.assertFalse([p for p in tree(out) if "_lod20" in p])
        status, report = batch(self.src, "-o", out, "--levels", "50", "--force")
        self.assertEqual(report["upToDate"], 0)

    def test_recipe_and_list(self):
        recipe = os.path.join(self.work, "recipe.toml")
        write(recipe, 'levels = [40]\nformat = "glb"\n[settings]\nplacement = "endpoint"\nuvs = false\n'
                      '[folders."terrain/hills"]\npercent = 10\n')
        listing = os.path.join(self.src, "some.txt")
        write(listing, "# two assets\nterrain/small.glb\nterrain/hills/medium.glb\n")
        out = os.path.join(self.work, "recipe")
        status, report = batch(listing, "-o", out, "--recipe", recipe, check_status=0)
        self.assertEqual(sorted(tree(out)), ["terrain/hills/medium.glb", "terrain/small_lod40.glb"])
        # The recipe's settings reach the tool: the same command by hand makes the same bytes.
        by_hand = os.path.join(self.work, "by_hand.glb")
        subprocess.run([TOOL, "simplify", os.path.join(self.src, "terrain/hills/medium.glb"), "-o", by_hand,
                        "--percent", "10", "--placement", "endpoint", "--no-uvs", "--format", "glb"],
                       check=True, stdout=subprocess.DEVNULL)
        self.assertEqual(read(by_hand), tree(out)["terrain/hills/medium.glb"])
        # JSON recipe: the deepest folder holding an asset has the last word, a folder's target
        # replaces the one above, and its format applies to its assets only.
        recipe_json = os.path.join(self.work, "recipe.json")
        write(recipe_json, json.dumps({"levels": [40], "folders": {"terrain": {"levels": [30, 5]},
                                                                    "terrain/hills/": {"percent": 10, "format": "obj"}}}))
        out = os.path.join(self.work, "recipe_json")
        status, report = batch(listing, "-o", out, "--recipe", recipe_json, check_status=0)
        self.assertEqual(sorted(tree(out)), ["terrain/hills/medium.mtl", "terrain/hills/medium.obj",
                                             "terrain/small_lod30.glb", "terrain/small_lod5.glb"])
        # Two assets whose outputs would share names: the second fails, the first is made.
        clash = os.path.join(self.work, "clash")
        os.makedirs(clash)
        shutil.copy(os.path.join(MODELS, "OBJ/box.obj"), os.path.join(clash, "box.obj"))
        shutil.copy(os.path.join(MODELS, "PLY/cube.ply"), os.path.join(clash, "box.ply"))
        status, report = batch(clash, "-o", os.path.join(self.work, "clash_out"), check_status=1)
        self.assertEqual([(r["status"], r.get("reason")) for r in report["results"]],
                         [("done", None), ("failed", "its outputs would overwrite those of box.obj")])
        for text, message in (("levels = [40\n", "recipe.toml:"), ("levels = [40]\ncolour = 1\n", "unknown key"),
                              ("[settings]\nbogus = 1\n", "'bogus' is not an option")):
            write(recipe, text)
            done = subprocess.run([TOOL, "batch", listing, "-o", out, "--recipe", recipe], capture_output=True,
                                  text=True)
            self.assertEqual(done.returncode, 2)
            self.assertIn(message, done.stderr)

    def test_dask_cluster_with_a_worker_killed(self):
        port = free_port()
        address = "tcp://127.0.0.1:%d" % port
        logs = open(os.path.join(self.work, "dask.log"), "w")
        processes = [subprocess.Popen(["/usr/bin/dask-scheduler", "--host", "127.0.0.1", "--port", str(port),
                                       "--no-dashboard"], stdout=logs, stderr=logs)]
        try:
            for i in range(2):
                processes.append(subprocess.Popen(
                    ["/usr/bin/dask-worker", address, "--nthreads", "1", "--no-nanny", "--no-dashboard",
                     "--host", "127.0.0.1", "--local-directory", os.path.join(self.work, "worker%d" % i)],
                    stdout=logs, stderr=logs))
            from distributed import Client
            with Client(address, timeout="30s") as client:
                client.wait_for_workers(2, timeout=60)
            out = os.path.join(self.work, "dask")
            run = subprocess.Popen([TOOL, "--json", "batch", self.src, "-o", out, "--levels", ",".join(LEVELS),
                                    "--scheduler", address], stdout=subprocess.PIPE, text=True)
            # Kill the worker seen running an asset (its temporary folder names its pid).
            workers = {p.pid: p for p in processes[1:]}
            killed = None
            deadline = time.monotonic() + 60
            while killed is None and run.poll() is None and time.monotonic() < deadline:
                for root, dirs, _ in os.walk(out):
                    for name in dirs:
                        pid = int(name.rsplit(".", 1)[1]) if name.startswith(".gradix-tmp.") else 0
                        if pid in workers and killed is None:
                            workers[pid].send_signal(signal.SIGKILL)
                            killed = pid
                time.sleep(0.01)
            self.assertIsNotNone(killed, "no worker was seen running an asset")
            report = json.loads(run.communicate(timeout=120)[0])
            self.check_report(report, run.returncode, out)
            self.assertEqual(tree(out), tree(self.local))  # byte-identical to the local run
        finally:
            for p in reversed(processes):
                p.terminate()
            for p in processes:
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
            logs.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
