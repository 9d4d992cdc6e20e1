"""The pure parts of the side-by-side benchmark: medians, the interleaved run order,
ratios, and the table and JSON the driver (run.py) prints and writes."""

import json


def median(values):
    """The middle value (the mean of the two middle ones for an even count)."""
    ordered = sorted(values)
    if not ordered:
        raise ValueError("median of no values")
    middle = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[middle]
    return (ordered[middle - 1] + ordered[middle]) / 2


def interleaved(variants, runs):
    """(variant, run) pairs in the order to run them: every variant once, then every
    variant again (A B A B ...), so that a machine getting busier or quieter over the
    benchmark touches all of them alike."""
    if runs < 1:
        raise ValueError("at least one run of each")
    return [(variant, run) for run in range(runs) for variant in variants]


def ratio(velmaris, peer):
    """How many times the peer's figure Velmaris's is, for figures where less is
    better (milliseconds, kilobytes): above 1 means Velmaris is faster or smaller."""
    if velmaris <= 0:
        return None
    return peer / velmaris


def best_variant(medians):
    """The (name, figure) of the peer's variants with the smallest figure."""
    if not medians:
        raise ValueError("no variants")
    return min(medians.items(), key=lambda item: item[1])


def make_row(key, measure, unit, velmaris_runs, peer_runs):
    """One row from each side's figures per run (peer_runs: variant -> figures)."""
    velmaris = median(velmaris_runs)
    medians = {name: median(figures) for name, figures in peer_runs.items()}
    variant, peer = best_variant(medians)
    return {
        "key": key,
        "measure": measure,
        "unit": unit,
        "velmaris": velmaris,
        "love": peer,
        "love_variant": variant,
        "love_variants": medians,
        "ratio": ratio(velmaris, peer),
        "runs": len(velmaris_runs),
    }


def fill_limit(fill_row, fill_pixels, sprites_row, sprite_pixels):
    """For each side, how near a sprite row comes to the rate at which the machine's
    OpenGL fills pixels (the fill row draws `fill_pixels` a frame, the sprite row
    `sprite_pixels`): the time the sprites' pixels alone take at that rate, over the
    sprite row's frame time (1: as fast as filling allows)."""
    limit = {}
    for side in ("velmaris", "love"):
        pixels_per_ms = fill_pixels / fill_row[side]
        limit_ms = sprite_pixels / pixels_per_ms
        limit[side] = {"fill_mpx_per_s": pixels_per_ms / 1000, "sprites_limit_ms": limit_ms,
                       "share_of_limit": limit_ms / sprites_row[side]}
    return limit


def format_figure(value, unit):
    return f"{value:.3g} {unit}" if value < 100 else f"{value:.0f} {unit}"


def format_table(rows):
    """A Markdown table: measure, Velmaris, LÖVE with its best variant, ratio."""
    lines = [
        "| Measure | Velmaris | LÖVE (best variant) | Ratio (>1: Velmaris faster/smaller) |",
        "|---|---|---|---|",
    ]
    for row in rows:
        ratio_text = "n/a" if row["ratio"] is None else f"{row['ratio']:.2f}"
        lines.append(
            f"| {row['measure']} | {format_figure(row['velmaris'], row['unit'])} | "
            f"{format_figure(row['love'], row['unit'])} ({row['love_variant']}) | {ratio_text} |")
    return "\n".join(lines) + "\n"


def to_json(rows, machine, fill_limit=None):
    """The results file: the machine it ran on, every row, and the fill limit when
    it was measured."""
    results = {"machine": machine, "rows": rows}
    if fill_limit:
        results["fill_limit"] = fill_limit
    return json.dumps(results, indent=2, ensure_ascii=False) + "\n"
