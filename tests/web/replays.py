#!/usr/bin/env python3
"""Replays every kept key script through a headless driver, and compares two such runs.

  replays.py run --driver CMD --data DIST --out DIR
      runs each script of tests/scenes/keys (the game from its opening) and tests/solver/keys
      (a test play of that stage of stage.dat) with a fixed seed, in a fresh copy of the data
      folder, keeping the exit status, standard output and error, trace, log, state, zarp.dat
      and the frames saved with --shot. CMD is split on blanks ("node --x driver.js").
  replays.py compare A B
      compares two such folders byte for byte; PNG frames by their decoded pixels, since the
      two builds compress them differently. Prints one line per difference and a summary.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SCENE_KEYS = ROOT / "tests/scenes/keys"
STAGE_KEYS = ROOT / "tests/solver/keys"

# Frames to run each scene script for: as long as its test runs it, or longer.
SCENE_FRAMES = {
    "built-in-ending": 3000, "continue-name-ranking": 600, "game-over-held": 480,
    "hidden-start": 300, "play-user-set": 4000, "six-game-overs": 1200,
    "start-clear-next": 300, "title-exit": 200, "title-menu": 180, "title-ranking": 200,
    "to-name-entry": 400, "to-user-select": 260, "user-stage-ending": 1100,
}
SHOT_EVERY = 37  # frames between saved pictures, besides the last frame


def scripts():
    """(name, key file, frames, game arguments) of every kept script."""
    found = []
    for path in sorted(SCENE_KEYS.glob("*.keys")):
        found.append((path.stem, path, SCENE_FRAMES.get(path.stem, 1000), []))
    for path in sorted(STAGE_KEYS.glob("*.keys")):
        m = re.search(r"--frames (\d+) -- (\d+)", path.read_text())
        if not m:
            sys.exit(f"{path}: no '--frames N -- STAGE' line")
        found.append((path.stem, path, int(m.group(1)), [m.group(2)]))
    return found


def run(args):
    driver = args.driver.split()
    out = Path(args.out)
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    data = Path(args.data)
    for name, keys, frames, game_args in scripts():
        with tempfile.TemporaryDirectory(prefix="zarp-replay-") as tmp:
            work = Path(tmp) / "dist"
            work.mkdir()
            for f in data.iterdir():
                if f.is_file() and not os.access(f, os.X_OK):
                    shutil.copy(f, work / f.name)
            runtime = Path(tmp) / "run"
            (runtime / "zarpane").mkdir(parents=True)
            os.chmod(runtime, 0o700)
            os.chmod(runtime / "zarpane", 0o700)
            shutil.copy(data / "stage.dat", runtime / "zarpane" / "$$$zrp$$$.tmp")
            result = out / name
            result.mkdir()
            shots = sorted(set(list(range(SHOT_EVERY, frames + 1, SHOT_EVERY)) + [frames]))
            cmd = driver + ["--program-dir", str(work), "--workdir", str(work),
                            "--frames", str(frames), "--keys", str(keys), "--seed", "7",
                            "--trace", str(result / "trace.jsonl"),
                            "--log", str(result / "events.log"),
                            "--state", str(result / "state.json")]
            for f in shots:
                cmd += ["--shot", f"{f}:{result}/frame{f:05d}.png"]
            cmd += ["--"] + game_args
            env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime))
            p = subprocess.run(cmd, env=env, capture_output=True, timeout=600)
            (result / "status").write_text(f"{p.returncode}\n")
            (result / "stdout").write_bytes(p.stdout)
            (result / "stderr").write_bytes(p.stderr)
            if (work / "zarp.dat").exists():
                shutil.copy(work / "zarp.dat", result / "zarp.dat")
        print(f"{name}: {frames} frames, exit {p.returncode}", flush=True)


def pixel_hashes(paths):
    """SHA-256 of the decoded pixels of each PNG file (pixels.mjs, under node, is quick)."""
    hashes = {}
    for at in range(0, len(paths), 200):
        out = subprocess.run(["node", str(Path(__file__).parent / "pixels.mjs")] +
                             [str(p) for p in paths[at:at + 200]],
                             capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            digest, path = line.split(" ", 1)
            hashes[path] = digest
    return hashes


def compare(args):
    a, b = Path(args.a), Path(args.b)
    differences, compared = [], {"runs": 0, "trace lines": 0, "frames": 0, "files": 0}
    pictures = []
    names = sorted({p.name for p in a.iterdir()} | {p.name for p in b.iterdir()})
    for name in names:
        ra, rb = a / name, b / name
        if not ra.is_dir() or not rb.is_dir():
            differences.append(f"{name}: run missing on one side")
            continue
        compared["runs"] += 1
        files = sorted({p.name for p in ra.iterdir()} | {p.name for p in rb.iterdir()})
        for f in files:
            fa, fb = ra / f, rb / f
            if not fa.exists() or not fb.exists():
                differences.append(f"{name}/{f}: only on one side")
                continue
            if f == "stdout" or f == "stderr":
                # The programs name themselves differently; the rest must match.
                ta = fa.read_bytes().replace(b"zarp-headless.js", b"zarp-headless")
                tb = fb.read_bytes().replace(b"zarp-headless.js", b"zarp-headless")
                same = ta == tb
            elif f.endswith(".png"):
                pictures.append((f"{name}/{f}", fa, fb))
                continue
            else:
                same = fa.read_bytes() == fb.read_bytes()
                if f == "trace.jsonl":
                    compared["trace lines"] += fa.read_bytes().count(b"\n")
            compared["files"] += 1
            if not same:
                differences.append(f"{name}/{f}: differs")
    hashes = pixel_hashes([p for _, fa, fb in pictures for p in (fa, fb)])
    for label, fa, fb in pictures:
        compared["frames"] += 1
        compared["files"] += 1
        if hashes[str(fa)] != hashes[str(fb)]:
            differences.append(f"{label}: differs")
    for d in differences:
        print(d)
    print(f"{compared['runs']} runs, {compared['trace lines']} trace lines, "
          f"{compared['frames']} frames, {compared['files']} files compared: "
          f"{len(differences)} differences")
    return 1 if differences else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run")
    r.add_argument("--driver", required=True)
    r.add_argument("--data", required=True)
    r.add_argument("--out", required=True)
    c = sub.add_parser("compare")
    c.add_argument("a")
    c.add_argument("b")
    args = parser.parse_args()
    if args.command == "run":
        run(args)
        return 0
    return compare(args)


if __name__ == "__main__":
    sys.exit(main())
