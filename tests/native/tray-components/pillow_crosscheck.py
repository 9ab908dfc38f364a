"""Pillow against our GIF reader and writer.

Pillow writes files with several frames, delays, a loop count, transparency,
disposal, interlace and comments, and one whose palette holds its transparent
and background colour twice; gifcheck loads each, prints what it read and
saves it twice (code streams kept, and every frame encoded anew). Pillow must
read our files with the same frames, pixels, delays, loop count, background
and transparency, and gifcheck's report must agree with what Pillow wrote.
A damaged file must give gifcheck a one-line error and a failing exit code.

    pillow_crosscheck.py GIFCHECK WORKDIR
"""
import os
import subprocess
import sys

from PIL import Image


def frames_of(path):
    out = []
    with Image.open(path) as im:
        for i in range(im.n_frames):
            im.seek(i)
            out.append({
                "rgba": im.convert("RGBA").tobytes(),
                "duration": im.info.get("duration", 0),
                "transparent": "transparency" in im.info,
            })
        return im.size, im.info.get("loop"), out, im.info.get("background")


def palette_frame(size, seed, colors):
    im = Image.new("P", size)
    im.putpalette([(seed * 37 + i * 11) % 256 for i in range(colors * 3)])
    w, h = size
    im.putdata([(x * 3 + y * 5 + seed) % colors for y in range(h) for x in range(w)])
    return im


def duplicate_black_frame(seed):
    im = Image.new("P", (6, 4))
    palette = [v for i in range(256) for v in (i, i, i)]
    palette[255 * 3:] = [0, 0, 0]
    im.putpalette(palette)
    im.putdata([(0, 255, 1 + seed)[(x + y + seed) % 3] for y in range(4) for x in range(6)])
    return im


def make_inputs(work):
    files = {}
    anim = os.path.join(work, "anim.gif")
    frames = [palette_frame((40, 30), s, 16) for s in range(3)]
    frames[0].save(anim, save_all=True, append_images=frames[1:], duration=[100, 250, 40], loop=3,
                   transparency=2, disposal=2, optimize=False, comment=b"made by Pillow")
    files["anim"] = {"frames": 3, "delays": [100, 250, 40], "loop": 3, "comment": True, "transparent": [2] * 3,
                     "background": 0}
    forever = os.path.join(work, "forever.gif")
    frames = [palette_frame((33, 40), s, 256) for s in range(2)]
    frames[0].save(forever, save_all=True, append_images=frames[1:], duration=70, loop=0, interlace=True,
                   optimize=False)
    files["forever"] = {"frames": 2, "delays": [70, 70], "loop": 0, "comment": False, "transparent": [-1] * 2,
                        "background": 0}
    single = os.path.join(work, "single.gif")
    palette_frame((7, 5), 9, 2).save(single, optimize=False)
    files["single"] = {"frames": 1, "delays": [0], "loop": None, "comment": False, "transparent": [-1],
                       "background": 0}
    # Black at 0 shows; black at 255 is transparent and the background.
    duplicate = os.path.join(work, "duplicate.gif")
    frames = [duplicate_black_frame(s) for s in range(2)]
    frames[0].save(duplicate, save_all=True, append_images=frames[1:], duration=[60, 80], loop=0, transparency=255,
                   background=255, comment=b"duplicate black", optimize=False)
    files["duplicate"] = {"frames": 2, "delays": [60, 80], "loop": 0, "comment": True, "transparent": [255] * 2,
                          "background": 255}
    return files


def gifcheck(tool, *args):
    return subprocess.run([tool, *args], capture_output=True, text=True)


def check_report(name, report, expect):
    lines = report.splitlines()
    frames = [l for l in lines if l.startswith("frame ") and " origin " in l]
    assert len(frames) == expect["frames"], (name, report)
    delays = [int(l.split(" delay ")[1].split()[0]) for l in frames]
    assert delays == expect["delays"], (name, delays)
    loop = [l for l in lines if l.startswith("loop ")][0].split()[1]
    assert loop == ("none" if expect["loop"] is None else str(expect["loop"])), (name, loop)
    assert any(l.startswith("comment ") or " comment " in l for l in lines) == expect["comment"], (name, report)
    transparent = [int(l.split(" transparent ")[1].split()[0]) for l in frames]
    assert transparent == expect["transparent"], (name, transparent)
    background = [l for l in lines if l.startswith("background ")][0].split()[1]
    assert background == str(expect["background"]), (name, background)


def main():
    tool, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    for name, expect in make_inputs(work).items():
        source = os.path.join(work, name + ".gif")
        want = frames_of(source)
        for mode in ([], ["--reencode"]):
            saved = os.path.join(work, name + ("-reencoded" if mode else "-saved") + ".gif")
            run = gifcheck(tool, *mode, source, saved)
            assert run.returncode == 0, (name, run.stderr)
            check_report(name, run.stdout, expect)
            got = frames_of(saved)
            assert got[0] == want[0], (name, mode, "size", got[0], want[0])
            assert got[1] == want[1], (name, mode, "loop", got[1], want[1])
            assert got[3] == want[3], (name, mode, "background", got[3], want[3])
            assert len(got[2]) == len(want[2]), (name, mode, "frames")
            for i, (g, w) in enumerate(zip(got[2], want[2])):
                for key in ("duration", "transparent", "rgba"):
                    assert g[key] == w[key], (name, mode, "frame", i, key)
            # What we saved reads back in our own reader the same way.
            again = gifcheck(tool, saved)
            assert again.returncode == 0, (name, again.stderr)
            check_report(name + " again", again.stdout, expect)

    damaged = os.path.join(work, "damaged.gif")
    with open(os.path.join(work, "single.gif"), "rb") as f:
        data = f.read()
    with open(damaged, "wb") as f:
        f.write(b"GIF88a" + data[6:])
    run = gifcheck(tool, damaged)
    assert run.returncode == 1 and run.stderr.count("\n") == 1, run
    assert "Unknown GIF version" in run.stderr, run.stderr
    print("pillow cross-check: ok")


if __name__ == "__main__":
    main()
