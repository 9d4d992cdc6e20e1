#!/usr/bin/env python3
"""Side-by-side benchmark of Velmaris and LÖVE: the same scenes in velmaris-sim (on
level files made here, in a scratch folder) and in the LÖVE program of love/, run
interleaved (A B A B ...), each figure the median of the runs. Prints one table and
writes it as JSON. Run it under an X server (make bench-peers uses Xvfb)."""

import argparse
import json
import os
import platform
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peerbench  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
ONE_PICTURE = ["images/Play/block.png"]
FOUR_PICTURES = ["images/Play/block.png", "images/Play/platform.png",
                 "images/Play/wall_vertical.png", "images/Play/hazard_bird.png"]
SPRITE_PIXELS = 24
FILL_PICTURE = "bench/fill.png"  # ONE_PICTURE at the picture's full size, 1280 x 720
FILL_COPIES = 20
PICTURE_PIXELS = 1280 * 720
WARM_UP_FRAMES = 10  # left out of each run's median frame time
CAMERA = '"A_Camera": {"Transform": {"x_position": 0.0, "y_position": 0.0}, "Camera": {}}'


def sprite_level(count, pictures):
    """`count` sprites of 24 pixels (scale 0.5) in a grid inside the 1280 x 720 picture,
    the pictures taken in turn in draw order (objects draw in name order)."""
    columns = 50 if count <= 1000 else 125
    rows = max(1, -(-count // columns))
    objects = [CAMERA]
    for i in range(count):
        x = -25 + 50 * (i % columns) / columns
        y = -14 + 28 * (i // columns) / rows
        objects.append(
            f'"S{i:05d}": {{"Transform": {{"x_position": {x}, "y_position": {y}, "x_scale": 0.5, '
            f'"y_scale": 0.5}}, "SpriteSource": {{"numrows": 1, "numcols": 1, '
            f'"image": "{pictures[i % len(pictures)]}"}}, "Sprite": {{}}}}')
    return objects


def fill_level(copies):
    """`copies` sprites of the fill picture, each covering the whole 1280 x 720 picture
    at the picture's own size (48 pixels a unit of scale)."""
    objects = [CAMERA]
    for i in range(copies):
        objects.append(
            f'"F{i:05d}": {{"Transform": {{"x_scale": 26.6667, "y_scale": 15.0}}, "SpriteSource": '
            f'{{"numrows": 1, "numcols": 1, "image": "{FILL_PICTURE}"}}, "Sprite": {{}}}}')
    return objects


def script_level(count):
    """`count` objects each running the game's DriftingStar.lua; nothing is drawn."""
    objects = [CAMERA]
    for i in range(1, count + 1):
        x, y = i % 50 - 25, i // 50 - 10
        objects.append(
            f'"S{i:05d}": {{"Transform": {{"x_position": {x}, "y_position": {y}}}, '
            f'"Script": {{"filename": "LuaScripts/DriftingStar.lua"}}, "ScriptData": {{"start_x": {x}, '
            f'"start_y": {y}, "radius": 1.5, "speed": 1.5, "angle": {0.1 * i:.1f}}}}}')
    return objects


def collider_level(count):
    """The player's moving circle and `count` moving boxes on a grid 3 units apart;
    the collision pass tests the circle against every box each frame."""
    objects = [CAMERA, '"Player": {"Transform": {}, "Physics": {"x_velocity": 1.0}, '
                       '"CircleCollider": {"radius": 0.75}}']
    for i in range(count):
        x, y = (i % 100 - 50) * 3, (i // 100 - 50) * 3
        vx, vy = (i % 7 - 3) * 0.5, (i % 5 - 2) * 0.5
        objects.append(
            f'"B{i:05d}": {{"Transform": {{"x_position": {x}, "y_position": {y}}}, '
            f'"Physics": {{"x_velocity": {vx}, "y_velocity": {vy}}}, '
            f'"BoxCollider": {{"x_size": 0.5, "y_size": 0.5}}}}')
    return objects


def scratch_data(folder):
    """A copy of the game's data with every sprite picture beside it shrunk to 24 x 24
    pixels (bench/NAME.png), so that sprites show their pictures at their own size, as
    a 2D game mostly does: both engines then draw the same pixels, with no mip levels
    to choose. Returns the copy's folder."""
    data = os.path.join(folder, "data")
    shutil.copytree(os.path.join(SOURCE, "data"), data)
    os.makedirs(os.path.join(data, "bench"))
    for picture in sorted(set(ONE_PICTURE + FOUR_PICTURES)):
        subprocess.run(["convert", os.path.join(data, picture), "-resize",
                        f"{SPRITE_PIXELS}x{SPRITE_PIXELS}!", os.path.join(data, own_size(picture))],
                       check=True)
    subprocess.run(["convert", os.path.join(data, ONE_PICTURE[0]), "-resize", "1280x720!",
                    os.path.join(data, FILL_PICTURE)], check=True)
    return data


def own_size(picture):
    """The data path of a picture's copy at the sprites' own size."""
    return "bench/" + os.path.basename(picture)


def write_level(folder, name, objects):
    path = os.path.join(folder, name + ".json")
    with open(path, "w", encoding="utf-8") as file:
        file.write('{"Level1": {\n' + ",\n".join(objects) + "\n}}\n")
    return path


def scenes(folder, data, quick):
    """Every row: its Velmaris level, the LÖVE scene and variants, frames, figure."""
    def frames(n):
        return max(WARM_UP_FRAMES + 5, n // 5) if quick else n

    def sprites(count, pictures, label, key, shrunk=True):
        shown = [own_size(p) for p in pictures] if shrunk else pictures
        return {"key": key, "measure": label, "unit": "ms/frame", "figure": "frame_ms",
                "level": write_level(folder, key, sprite_level(count, shown)),
                "love": ["--scene", "sprites", "--count", str(count),
                         "--pictures", ",".join(os.path.join(data, p) for p in shown)],
                "variants": ["draw", "batch"], "frames": frames(150 if count <= 1000 else 60)}

    rows = [
        dict(sprites(0, ONE_PICTURE, "empty frame (clear and present)", "empty"), variants=["draw"],
             frames=frames(300)),
        sprites(1000, ONE_PICTURE, "1,000 sprites, one picture", "sprites_1k_1"),
        sprites(10000, ONE_PICTURE, "10,000 sprites, one picture", "sprites_10k_1"),
        sprites(1000, FOUR_PICTURES, "1,000 sprites, four pictures interleaved", "sprites_1k_4"),
        sprites(10000, FOUR_PICTURES, "10,000 sprites, four pictures interleaved", "sprites_10k_4"),
        # The game's 128 px picture shown at 24 px: Velmaris filters it between mip
        # levels, LÖVE (without mipmaps, its default) samples the full-size picture.
        sprites(1000, ONE_PICTURE, "1,000 sprites, a 128 px picture shown at 24 px", "sprites_1k_shrunk",
                shrunk=False),
        {"key": "fill", "measure": f"fill limit: a full-window picture drawn {FILL_COPIES} times, blended",
         "unit": "ms/frame", "figure": "frame_ms", "level": write_level(folder, "fill", fill_level(FILL_COPIES)),
         "love": ["--scene", "fill", "--count", str(FILL_COPIES), "--pictures", os.path.join(data, FILL_PICTURE)],
         "variants": ["draw"], "frames": frames(40)},
        {"key": "scripts_1k", "measure": "1,000 objects with a Lua update", "unit": "ms/frame",
         "figure": "frame_ms", "level": write_level(folder, "scripts_1k", script_level(1000)),
         "love": ["--scene", "scripts", "--count", "1000"], "variants": ["tables"], "frames": frames(300)},
        {"key": "colliders_10k", "measure": "10,000 moving box colliders", "unit": "ms/frame",
         "figure": "frame_ms", "level": write_level(folder, "colliders_10k", collider_level(10000)),
         "love": ["--scene", "colliders", "--count", "10000"], "variants": ["loop", "physics"],
         "frames": frames(150)},
    ]
    startup = dict(rows[1], key="startup", measure="start-up to the first presented frame (1,000 sprites)",
                   unit="ms", figure="first_present", frames=1)
    memory = dict(rows[3], key="memory", measure="resident memory after 300 frames (1,000 sprites, four pictures)",
                  unit="MB", figure="rss", frames=300)
    return rows + [startup, memory]


def fill_limit(rows):
    """Ten thousand 24 px sprites of one picture against the fill row; None without both."""
    by_key = {row["key"]: row for row in rows}
    if "fill" not in by_key or "sprites_10k_1" not in by_key:
        return None
    return peerbench.fill_limit(by_key["fill"], FILL_COPIES * PICTURE_PIXELS, by_key["sprites_10k_1"],
                                10000 * SPRITE_PIXELS * SPRITE_PIXELS)


def figure_of(stats, figure, spawned):
    if figure == "frame_ms":
        times = stats["frame_ms"][WARM_UP_FRAMES:] or stats["frame_ms"]
        return peerbench.median(times)
    if figure == "first_present":
        return (stats["first_present_s"] - spawned) * 1000
    return stats["rss_kb"] / 1024


def run_once(command, stats_path):
    """Runs one program to its end; its statistics, and CLOCK_MONOTONIC at the spawn."""
    if os.path.exists(stats_path):
        os.remove(stats_path)
    spawned = time.monotonic()
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=600, check=False)
    if result.returncode != 0 or not os.path.exists(stats_path):
        raise RuntimeError(f"{' '.join(command)} failed ({result.returncode}):\n{result.stdout[-2000:]}")
    with open(stats_path, encoding="utf-8") as file:
        return json.load(file), spawned


def measure(scene, sim, love, runs, folder, data):
    stats_path = os.path.join(folder, "stats.json")
    commands = {"velmaris": [sim, "--data", data, "--real-window",
                             "--load", scene["level"], "--frames", str(scene["frames"]), "--stats", stats_path]}
    for variant in scene["variants"]:
        commands[variant] = [love, os.path.join(HERE, "love"), *scene["love"], "--variant", variant,
                             "--frames", str(scene["frames"]), "--stats", stats_path]
    figures = {name: [] for name in commands}
    names, renderer = {}, ""
    for name, _ in peerbench.interleaved(list(commands), runs):
        stats, spawned = run_once(commands[name], stats_path)
        figures[name].append(figure_of(stats, scene["figure"], spawned))
        if name != "velmaris":
            names[name] = stats.get("variant", name)
            renderer = stats.get("renderer", renderer)
    peer_runs = {names[v]: figures[v] for v in scene["variants"]}
    row = peerbench.make_row(scene["key"], scene["measure"], scene["unit"], figures["velmaris"], peer_runs)
    return row, renderer


def machine_description(renderer):
    model = ""
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as file:
            model = next((line.split(":", 1)[1].strip() for line in file if line.startswith("model name")), "")
    except OSError:
        pass
    return {"cores": os.cpu_count(), "cpu": model, "opengl": renderer, "system": platform.platform(),
            "load_average": os.getloadavg()[0],
            "note": "shared build machine, possibly busy; software OpenGL under Xvfb"}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--sim", default=os.path.join(SOURCE, "build", "velmaris-sim"))
    parser.add_argument("--love", default="love")
    parser.add_argument("--runs", type=int, default=5, help="runs of each program per row (5)")
    parser.add_argument("--only", help="comma-separated row keys to run")
    parser.add_argument("--quick", action="store_true", help="fewer frames: a check that every row runs")
    parser.add_argument("--json", default=os.path.join(HERE, "results.json"))
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="velmaris_peers_") as folder:
        data = scratch_data(folder)
        rows, renderer = [], ""
        for scene in scenes(folder, data, args.quick):
            if args.only and scene["key"] not in args.only.split(","):
                continue
            print(f"{scene['measure']} ...", file=sys.stderr, flush=True)
            row, renderer = measure(scene, args.sim, args.love, args.runs, folder, data)
            rows.append(row)
    machine = machine_description(renderer)
    sys.stdout.write(peerbench.format_table(rows))
    limit = fill_limit(rows)
    if limit:
        for side, name in (("velmaris", "Velmaris"), ("love", "LÖVE")):
            figures = limit[side]
            print(f"{name}: fills {figures['fill_mpx_per_s']:.0f} Mpx/s; 10,000 sprites run at "
                  f"{100 * figures['share_of_limit']:.0f}% of that limit "
                  f"({figures['sprites_limit_ms']:.1f} ms of pixels)")
    with open(args.json, "w", encoding="utf-8") as file:
        file.write(peerbench.to_json(rows, machine, limit))
    print(f"written: {args.json}", file=sys.stderr)


if __name__ == "__main__":
    main()
