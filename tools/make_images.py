#!/usr/bin/python3
"""Draws every picture of Vantorel into images/ as run-length TGA files, and its
desktop icon, at each size a desktop asks for, into packaging/icons/ as PNG files.

Everything is made here from code and the game's own font (fonts/FRESHBOT.ttf),
with fixed random seeds, so a run always gives the same files. Needs Pillow.

Sizes follow how the game draws each picture: the field is 100 by 75 units on a
1024 by 768 window (about 10 pixels a unit), bodies are squares of a few units,
and the three full-window pictures are 1024 by 1024 textures stretched to 4:3,
so they are composed at 4:3 and squashed into the square before saving.

Usage: tools/make_images.py [--preview DIR]  (DIR gets PNGs at the drawn size)
"""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMAGES = os.path.join(ROOT, "images")
FONT = os.path.join(ROOT, "fonts", "FRESHBOT.ttf")

SCREEN_W, SCREEN_H = 1024, 768   # the window, where full-window pictures are seen
FULL_TEXTURE = 1024              # their texture side
COMPOSE = 2                      # full-window pictures are composed at twice the window size
PIXELS_PER_UNIT = 10.24

SUN_SCREEN = (512, SCREEN_H - 40 * PIXELS_PER_UNIT)  # the sun stands at (0, 40)


# ---------------------------------------------------------------- helpers

def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(edge0, edge1, x):
    t = clamp01((x - edge0) / (edge1 - edge0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def ramp(stops, t):
    """Colour at t along stops [(position, (r, g, b)), ...], channels 0..255."""
    t = clamp01(t)
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0.0)
    return stops[-1][1]


def gradient_map(grey, stops):
    """An RGB picture colouring a greyscale one along the stops."""
    luts = [[], [], []]
    for i in range(256):
        colour = ramp(stops, i / 255.0)
        for channel in range(3):
            luts[channel].append(int(round(colour[channel])))
    return Image.merge("RGB", [grey.point(lut) for lut in luts])


def value_noise(size, cells, seed):
    """Smooth random greyscale: a cells by cells grid of random values, upscaled."""
    rnd = random.Random(seed)
    grid = Image.new("L", (cells, cells))
    grid.putdata([rnd.randrange(256) for _ in range(cells * cells)])
    return grid.resize(size, Image.BICUBIC)


def fractal_noise(size, seed, base_cells=4, octaves=5):
    """Several octaves of value noise, stretched to the full grey range."""
    noise = value_noise(size, base_cells, seed)
    for octave in range(1, octaves):
        finer = value_noise(size, base_cells << octave, seed * 31 + octave)
        noise = Image.blend(noise, finer, 1.0 / (octave + 1.6))
    return autocontrast(noise)


def autocontrast(grey):
    low, high = grey.getextrema()
    span = max(1, high - low)
    return grey.point(lambda v: (v - low) * 255 // span)


def sampler(grey):
    """Nearest-texel lookup at (u, v) in [0, 1), wrapping, returning 0..1."""
    width, height = grey.size
    data = grey.load()

    def sample(u, v):
        return data[int(u * width) % width, int(v * height) % height] / 255.0
    return sample


def per_pixel(size, shade):
    """An RGBA picture whose texel at (x, y) is shade(nx, ny) -> (r, g, b, a) in 0..1,
    nx and ny running from -1 to 1 across the picture, y downwards."""
    width, height = size
    picture = Image.new("RGBA", size)
    texels = []
    for y in range(height):
        ny = (y + 0.5) / height * 2.0 - 1.0
        for x in range(width):
            nx = (x + 0.5) / width * 2.0 - 1.0
            r, g, b, a = shade(nx, ny)
            texels.append((int(clamp01(r) * 255 + 0.5), int(clamp01(g) * 255 + 0.5),
                           int(clamp01(b) * 255 + 0.5), int(clamp01(a) * 255 + 0.5)))
    picture.putdata(texels)
    return picture


def with_alpha(rgb, alpha):
    picture = rgb.convert("RGBA")
    picture.putalpha(alpha)
    return picture


def bleed(picture):
    """Gives fully transparent texels the colour of their visible neighbours, so
    that linear filtering does not pull a dark fringe into the edges."""
    alpha = picture.getchannel("A")
    spread = picture.convert("RGBa")
    for radius in (2, 6, 16):
        spread = Image.alpha_composite(
            spread.filter(ImageFilter.GaussianBlur(radius)).convert("RGBA"),
            spread.convert("RGBA")).convert("RGBa")
    spread = spread.convert("RGBA")
    visible = alpha.point(lambda v: 255 if v > 0 else 0)
    result = Image.composite(picture, spread, visible)
    result.putalpha(alpha)
    return result


def glow(layer, radius, strength=1.0):
    """A blurred copy of an RGBA layer, its alpha scaled by strength."""
    blurred = layer.filter(ImageFilter.GaussianBlur(radius))
    if strength != 1.0:
        blurred.putalpha(blurred.getchannel("A").point(lambda v: min(255, int(v * strength))))
    return blurred


def font(pixels):
    return ImageFont.truetype(FONT, int(round(pixels)))


def text_layer(size, position, words, pixels, fill, anchor="mm"):
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).text(position, words, font=font(pixels), fill=fill, anchor=anchor)
    return layer


def glowing_text(canvas, position, words, pixels, fill, glow_colour, glow_radius,
                 glow_strength=1.6, anchor="mm"):
    text = text_layer(canvas.size, position, words, pixels, fill, anchor)
    halo = text_layer(canvas.size, position, words, pixels, glow_colour, anchor)
    canvas.alpha_composite(glow(halo, glow_radius, glow_strength))
    canvas.alpha_composite(text)


def gradient_text(canvas, position, words, pixels, top, bottom, anchor="mm"):
    """Words filled with a vertical gradient from the top colour to the bottom one."""
    mask = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(mask).text(position, words, font=font(pixels), fill=255, anchor=anchor)
    left, upper, right, lower = mask.getbbox()
    shade = Image.linear_gradient("L").resize((right - left, lower - upper))
    fill = gradient_map(shade, [(0.0, top), (1.0, bottom)])
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    layer.paste(fill, (left, upper))
    layer.putalpha(ImageChops.multiply(layer.getchannel("A").point(lambda v: 255), mask))
    canvas.alpha_composite(layer)


def downsample(picture, size):
    """Shrinks a picture drawn large, premultiplied so edges keep their colour."""
    return picture.convert("RGBa").resize(size, Image.LANCZOS).convert("RGBA")


def save(picture, name, opaque=False):
    picture = picture.convert("RGB") if opaque else bleed(picture)
    picture.save(os.path.join(IMAGES, name), compression="tga_rle", orientation=1)


def squash_to_texture(picture):
    """A picture composed at 4:3 becomes the square texture the game stretches back."""
    return picture.resize((FULL_TEXTURE, FULL_TEXTURE), Image.LANCZOS)


# ---------------------------------------------------------------- bodies

# The game draws each body as a square exactly as wide as the body reaches (the
# sun, the ship, a planet, forming or worn, and the wreck), so each picture is a
# ball whose opaque edge is the edge of its square: what shows is what touches.
# RIM is the width of that edge's anti-aliasing, as a share of the radius.
RIM = 0.015


def disc_alpha(r):
    """Opaque inside the body, fading out across the last sliver of its radius."""
    return smoothstep(1.0, 1.0 - RIM, r)

def sun_layer(glow_layer, side=128):
    """One of the sun's two layers, side texels across, shaded at twice that. The
    first darkens to a deep orange limb; the second, whiter, flares in tongues of
    light all round its rim. The game cross-fades them, and the backdrop's haze
    is the glow around them."""
    size = side * 2
    grain = fractal_noise((size, size), 11 if glow_layer else 7, base_cells=8, octaves=4)
    sample = sampler(grain)
    core_stops = [(0.0, (255, 255, 236)), (0.45, (255, 236, 150)), (0.8, (255, 178, 60)),
                  (1.0, (235, 110, 30))]
    if glow_layer:
        core_stops = [(0.0, (255, 255, 255)), (0.5, (255, 246, 200)), (0.85, (255, 206, 100)),
                      (1.0, (255, 150, 60))]

    def shade(nx, ny):
        r = math.hypot(nx, ny)
        alpha = disc_alpha(r)
        if alpha <= 0.0:
            return (0.0, 0.0, 0.0, 0.0)
        granules = sample(nx * 0.5 + 0.5, ny * 0.5 + 0.5) - 0.5
        colour = ramp(core_stops, r ** 1.6 + granules * 0.25)
        limb = smoothstep(0.7, 1.0, r)
        if glow_layer:
            angle = math.atan2(ny, nx)
            tongues = clamp01(0.2 + 0.8 * math.cos(angle * 12.0) ** 8
                              + 0.3 * math.cos(angle * 5.0 + 1.0) + granules * 0.6)
            colour = mix(colour, (255, 244, 190), limb * tongues * 0.85)
        else:
            colour = mix(colour, (200, 68, 16), limb ** 1.5 * 0.75)
        return (colour[0] / 255, colour[1] / 255, colour[2] / 255, alpha)

    return downsample(per_pixel((size, size), shade), (side, side))


def sphere_shade(albedo, nx, ny):
    """Texel of a ball lit evenly from the viewer: the pictures spin, so no side
    of them may look lit. albedo(u, v) gives the surface at longitude/latitude."""
    r = math.hypot(nx, ny)
    alpha = disc_alpha(r)
    if alpha <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    r2 = min(r * r, 0.999)
    z = math.sqrt(1.0 - r2)
    longitude = math.asin(max(-1.0, min(1.0, nx / math.sqrt(max(1e-6, 1.0 - ny * ny)))))
    latitude = math.asin(max(-1.0, min(1.0, ny)))
    surface = albedo(longitude / math.pi + 0.5, latitude / math.pi + 0.5)
    light = 0.45 + 0.55 * z ** 0.55
    rim = smoothstep(0.55, 1.0, math.sqrt(r2)) * 0.18  # thin bright air at the limb
    value = surface * light + rim
    return (value, value, value, alpha)


def planet(side=128):
    size = side * 2
    land = sampler(fractal_noise((256, 128), 21, base_cells=6, octaves=5))
    swirl = sampler(fractal_noise((256, 128), 22, base_cells=3, octaves=3))

    def albedo(u, v):
        bands = 0.5 + 0.5 * math.sin(v * 22.0 + swirl(u, v) * 6.0)
        value = 0.74 + 0.24 * bands ** 1.5
        height = land(u, v)
        if height > 0.58:
            value = 0.5 + 0.14 * land(u * 3.0, v * 3.0) + 0.1 * smoothstep(0.58, 0.7, height)
        return value

    return downsample(per_pixel((size, size), lambda nx, ny: sphere_shade(albedo, nx, ny)),
                      (side, side))


def moon():
    size = 256
    ground = fractal_noise((size, size), 31, base_cells=8, octaves=5)
    draw = ImageDraw.Draw(ground)
    rnd = random.Random(32)
    for _ in range(26):
        cx, cy = rnd.uniform(30, 226), rnd.uniform(30, 226)
        radius = rnd.choice([6, 8, 10, 12, 16, 22])
        draw.ellipse((cx - radius, cy - radius, cx + radius, cy + radius), fill=70)
        draw.arc((cx - radius, cy - radius, cx + radius, cy + radius), 20, 200, fill=235,
                 width=max(2, radius // 5))
    ground = ground.filter(ImageFilter.GaussianBlur(1.2))
    surface = sampler(ground)

    def albedo(u, v):
        return 0.62 + 0.36 * surface(u, v)

    return downsample(per_pixel((size, size), lambda nx, ny: sphere_shade(albedo, nx, ny)),
                      (128, 128))


def formation():
    """A planet forming: three arms of hot dust swirling round a bright core, on a
    disc of darker dust whose rim is the forming planet's edge."""
    size = 256
    dust = sampler(fractal_noise((size, size), 41, base_cells=8, octaves=4))
    stops = [(0.0, (90, 20, 40)), (0.35, (220, 80, 40)), (0.65, (255, 190, 90)),
             (1.0, (255, 255, 240))]

    def shade(nx, ny):
        r = math.hypot(nx, ny)
        alpha = disc_alpha(r)
        if alpha <= 0.0:
            return (0.0, 0.0, 0.0, 0.0)
        angle = math.atan2(ny, nx)
        arms = 0.5 + 0.5 * math.cos(3.0 * angle + 10.0 * r)
        arms = arms ** 2.5
        grain = 0.7 + 0.6 * dust(nx * 0.5 + 0.5, ny * 0.5 + 0.5)
        falloff = smoothstep(1.1, 0.15, r)
        core = math.exp(-(r / 0.16) ** 2)
        floor = 0.06 + 0.06 * grain + 0.14 * smoothstep(0.8, 0.97, r)  # a ring of dust at the rim
        value = clamp01(max(floor, arms * falloff * grain + core))
        colour = ramp(stops, value)
        return (colour[0] / 255, colour[1] / 255, colour[2] / 255, alpha)

    return downsample(per_pixel((size, size), shade), (128, 128))


def gas_cloud():
    size = 256
    puffs = sampler(fractal_noise((size, size), 51, base_cells=5, octaves=5))
    wisps = sampler(fractal_noise((size, size), 52, base_cells=12, octaves=3))
    stops = [(0.0, (40, 20, 90)), (0.35, (120, 50, 170)), (0.65, (210, 110, 200)),
             (0.85, (170, 230, 240)), (1.0, (255, 255, 255))]

    def shade(nx, ny):
        r = math.hypot(nx, ny)
        if r > 0.99:
            return (0.0, 0.0, 0.0, 0.0)
        u, v = nx * 0.5 + 0.5, ny * 0.5 + 0.5
        cloud = 0.55 * puffs(u, v) + 0.45 * wisps(u, v)
        body = smoothstep(0.97, 0.2, r)
        core = math.exp(-(r / 0.28) ** 2)
        value = clamp01(cloud * body * 1.1 + core * 0.75)
        colour = ramp(stops, value)
        alpha = clamp01((cloud * 0.9 + 0.25) * body * 1.2 + core)
        return (colour[0] / 255, colour[1] / 255, colour[2] / 255, alpha)

    return downsample(per_pixel((size, size), shade), (128, 128))


def spaceship(side=64, turn=0.0):
    """The ship, side texels across, turned by turn degrees before it is shrunk: a
    round saucer whose rim is its edge, three engine pods on its skirt glowing at
    the rim, and a deck with a ring of lights round a glass dome."""
    big = 256
    centre = big / 2
    edge = big / 2
    layer = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    skirt = Image.radial_gradient("L").resize((big, big))
    skirt_rgb = gradient_map(skirt, [(0.0, (150, 158, 178)), (0.7, (124, 132, 154)),
                                     (1.0, (92, 100, 122))])
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).ellipse((0, 0, big - 1, big - 1), fill=255)
    layer.paste(skirt_rgb, (0, 0), mask)
    draw = ImageDraw.Draw(layer)
    for k in range(12):  # the skirt's panel seams
        angle = math.radians(15 + 30 * k)
        draw.line((centre + math.cos(angle) * 80, centre + math.sin(angle) * 80,
                   centre + math.cos(angle) * (edge - 8), centre + math.sin(angle) * (edge - 8)),
                  fill=(84, 92, 112, 255), width=3)
    draw.ellipse((3, 3, big - 4, big - 4), outline=(66, 72, 92, 255), width=6)
    for k in range(3):
        angle = math.radians(-90 + 120 * k)
        ux, uy = math.cos(angle), math.sin(angle)
        px, py = -uy, ux

        def at(along, across):
            return (centre + ux * along + px * across, centre + uy * along + py * across)
        draw.polygon([at(40, -26), at(108, -16), at(116, 0), at(108, 16), at(40, 26)],
                     fill=(110, 118, 136, 255))
        draw.polygon([at(48, -16), at(104, -9), at(104, 9), at(48, 16)], fill=(172, 180, 198, 255))
        ex, ey = at(112, 0)
        draw.ellipse((ex - 12, ey - 12, ex + 12, ey + 12), fill=(255, 150, 50, 255))
        draw.ellipse((ex - 6, ey - 6, ex + 6, ey + 6), fill=(255, 245, 200, 255))
    deck_radius = 74
    deck = Image.radial_gradient("L").resize((deck_radius * 2, deck_radius * 2))
    deck_rgb = gradient_map(deck, [(0.0, (236, 240, 248)), (0.6, (176, 184, 202)),
                                   (1.0, (112, 120, 140))])
    deck_mask = Image.new("L", deck.size, 0)
    ImageDraw.Draw(deck_mask).ellipse((0, 0, deck.width - 1, deck.height - 1), fill=255)
    layer.paste(deck_rgb, (int(centre - deck_radius), int(centre - deck_radius)), deck_mask)
    draw = ImageDraw.Draw(layer)
    ring = 52
    draw.ellipse((centre - ring, centre - ring, centre + ring, centre + ring),
                 outline=(84, 92, 112, 255), width=5)
    for k in range(6):
        angle = math.radians(30 + 60 * k)
        lx, ly = centre + math.cos(angle) * 63, centre + math.sin(angle) * 63
        colour = (90, 240, 255, 255) if k % 2 == 0 else (255, 90, 80, 255)
        draw.ellipse((lx - 5, ly - 5, lx + 5, ly + 5), fill=colour)
    dome = 30
    dome_grad = Image.radial_gradient("L").resize((dome * 2, dome * 2))
    dome_rgb = gradient_map(dome_grad, [(0.0, (190, 250, 255)), (0.5, (60, 170, 230)),
                                        (1.0, (20, 60, 130))])
    dome_mask = Image.new("L", dome_grad.size, 0)
    ImageDraw.Draw(dome_mask).ellipse((0, 0, dome * 2 - 1, dome * 2 - 1), fill=255)
    layer.paste(dome_rgb, (int(centre - dome), int(centre - dome)), dome_mask)
    draw.ellipse((centre - 16, centre - 20, centre - 4, centre - 8), fill=(255, 255, 255, 220))
    if turn:
        layer = layer.rotate(turn, resample=Image.BICUBIC)
    return downsample(layer, (side, side))


def explosion():
    """The wreck: a round fireball as wide as the ship was, a star of flame inside
    a rim of dark red smoke, and pieces of the hull."""
    big = 256
    centre = big / 2
    rnd = random.Random(61)
    smoke = gradient_map(fractal_noise((big, big), 62, base_cells=6, octaves=4),
                         [(0.0, (70, 22, 18)), (0.6, (130, 40, 22)), (1.0, (190, 70, 30))])
    fire = with_alpha(smoke, Image.new("L", (big, big), 255))
    draw = ImageDraw.Draw(fire)

    def burst(points, inner, outer, jitter):
        shape = []
        for k in range(points * 2):
            angle = math.pi * k / points + rnd.uniform(-jitter, jitter)
            radius = (outer if k % 2 == 0 else inner) * rnd.uniform(0.8, 1.1)
            shape.append((centre + math.cos(angle) * radius, centre + math.sin(angle) * radius))
        return shape
    draw.polygon(burst(11, 64, 124, 0.12), fill=(230, 60, 20, 255))
    draw.polygon(burst(9, 48, 94, 0.15), fill=(255, 150, 30, 255))
    draw.polygon(burst(7, 32, 62, 0.2), fill=(255, 230, 110, 255))
    draw.ellipse((centre - 26, centre - 26, centre + 26, centre + 26), fill=(255, 255, 235, 255))
    soft = fire.filter(ImageFilter.GaussianBlur(3))
    draw = ImageDraw.Draw(soft)
    for _ in range(9):  # pieces of the hull flung out
        angle = rnd.uniform(0, 2 * math.pi)
        distance = rnd.uniform(50, 100)
        x, y = centre + math.cos(angle) * distance, centre + math.sin(angle) * distance
        size = rnd.uniform(6, 13)
        turn = rnd.uniform(0, math.pi)
        draw.polygon([(x + math.cos(turn + a) * size * s, y + math.sin(turn + a) * size * s)
                      for a, s in ((0, 1.0), (2.1, 0.7), (3.6, 1.1), (5.0, 0.6))],
                     fill=(70, 74, 90, 255), outline=(170, 176, 196, 255))
    ball = Image.new("L", (big, big), 0)
    ImageDraw.Draw(ball).ellipse((0, 0, big - 1, big - 1), fill=255)
    soft.putalpha(ball)
    return downsample(soft, (64, 64))


def debris():
    big = 128
    centre = big / 2
    rnd = random.Random(71)
    outline = []
    for k in range(11):
        angle = 2 * math.pi * k / 11
        radius = rnd.uniform(40, 58)
        outline.append((centre + math.cos(angle) * radius, centre + math.sin(angle) * radius))
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).polygon(outline, fill=255)
    grain = fractal_noise((big, big), 72, base_cells=6, octaves=4)
    lit = Image.radial_gradient("L").resize((big * 2, big * 2)).crop(
        (big - 40, big - 40, 2 * big - 40, 2 * big - 40))  # brightest towards the upper left
    rock = Image.blend(grain, lit.point(lambda v: 255 - v), 0.55)
    colour = gradient_map(rock, [(0.0, (90, 74, 62)), (0.5, (168, 150, 128)),
                                 (1.0, (240, 228, 206))])
    return downsample(with_alpha(colour, mask), (16, 16))


# ---------------------------------------------------------------- full-window pictures

def compose_canvas():
    return Image.new("RGBA", (SCREEN_W * COMPOSE, SCREEN_H * COMPOSE), (0, 0, 0, 255))


def at_compose(x, y):
    return (x * COMPOSE, y * COMPOSE)


def starfield(seed, stars=700, nebula=1.0):
    """Deep space: a dark gradient, faint coloured nebulae and stars, at 4:3."""
    width, height = SCREEN_W * COMPOSE, SCREEN_H * COMPOSE
    small = (SCREEN_W // 4, SCREEN_H // 4)
    depth = Image.linear_gradient("L").resize(small)
    sky = gradient_map(depth, [(0.0, (10, 12, 34)), (1.0, (3, 4, 14))])
    for index, stops in enumerate([
            [(0.0, (0, 0, 0)), (0.62, (0, 0, 0)), (1.0, (70, 30, 110))],
            [(0.0, (0, 0, 0)), (0.66, (0, 0, 0)), (1.0, (20, 80, 110))]]):
        cloud = fractal_noise(small, seed * 7 + index, base_cells=3, octaves=4)
        cloud = cloud.point(lambda v: int(v * nebula))
        sky = ImageChops.add(sky, gradient_map(cloud, stops))
    sky = sky.filter(ImageFilter.GaussianBlur(3)).resize((width, height), Image.BICUBIC)
    canvas = sky.convert("RGBA")

    rnd = random.Random(seed)
    points = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    draw = ImageDraw.Draw(points)
    bright = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    bright_draw = ImageDraw.Draw(bright)
    tints = [(255, 255, 255), (200, 220, 255), (255, 236, 200), (255, 210, 200)]
    for _ in range(stars):
        x, y = rnd.uniform(0, width), rnd.uniform(0, height)
        level = rnd.random() ** 3
        radius = (0.8 + 2.2 * level) * COMPOSE * 0.6
        tint = rnd.choice(tints)
        alpha = int(90 + 165 * level)
        draw.ellipse((x - radius, y - radius, x + radius, y + radius), fill=tint + (alpha,))
        if level > 0.55:
            halo = radius * 3.5
            bright_draw.ellipse((x - halo, y - halo, x + halo, y + halo), fill=tint + (120,))
    canvas.alpha_composite(bright.filter(ImageFilter.GaussianBlur(4 * COMPOSE)))
    canvas.alpha_composite(points)
    return canvas


def to_screen_picture(canvas):
    return squash_to_texture(canvas.convert("RGB"))


def background():
    canvas = starfield(81, stars=650, nebula=0.8)
    # a warm haze where the sun stands, so the sun sits in its own light
    haze = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    sx, sy = at_compose(*SUN_SCREEN)
    radius = 170 * COMPOSE
    ImageDraw.Draw(haze).ellipse((sx - radius, sy - radius, sx + radius, sy + radius),
                                 fill=(255, 150, 60, 40))
    canvas.alpha_composite(haze.filter(ImageFilter.GaussianBlur(70 * COMPOSE)))
    return to_screen_picture(canvas)


def paste_sprite(canvas, sprite, centre, side, rotation=0.0, tint=None, opacity=1.0):
    """Draws one of the game's own pictures into a composition, as the game would."""
    picture = sprite
    if tint:
        rgb = ImageChops.multiply(picture.convert("RGB"), Image.new("RGB", picture.size, tint))
        picture = with_alpha(rgb, picture.getchannel("A"))
    if rotation:
        picture = picture.rotate(rotation, resample=Image.BICUBIC)
    pixels = int(round(side * COMPOSE))
    picture = picture.resize((pixels, pixels), Image.LANCZOS)
    if opacity != 1.0:
        picture.putalpha(picture.getchannel("A").point(lambda v: int(v * opacity)))
    x, y = at_compose(*centre)
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    layer.paste(picture, (int(x - pixels / 2), int(y - pixels / 2)))
    canvas.alpha_composite(layer)


def with_halo(canvas, layer, radius):
    """Lays a layer over the canvas with a glow of its own colours around it."""
    canvas.alpha_composite(glow(layer, radius, 1.5))
    canvas.alpha_composite(layer)


def orbit(canvas, centre, rx, ry, colour, width=2):
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    cx, cy = at_compose(*centre)
    ImageDraw.Draw(layer).ellipse(
        (cx - rx * COMPOSE, cy - ry * COMPOSE, cx + rx * COMPOSE, cy + ry * COMPOSE),
        outline=colour, width=width * COMPOSE)
    canvas.alpha_composite(layer)


def titlescreen(sprites):
    canvas = starfield(91, stars=800, nebula=1.0)
    sun_centre = (512, 520)
    for rx, ry in ((200, 60), (300, 92), (410, 128)):
        orbit(canvas, sun_centre, rx, ry, (150, 170, 230, 70))
    sun = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    paste_sprite(sun, sprites["sun2.tga"], sun_centre, 136)
    paste_sprite(sun, sprites["sun.tga"], sun_centre, 136, opacity=0.6)
    with_halo(canvas, sun, 22 * COMPOSE)
    planets = [((512 - 196, 530), 40, (120, 200, 255)), ((512 + 250, 462), 56, (255, 170, 110)),
               ((512 + 120, 642), 72, (150, 255, 170)), ((512 - 360, 574), 48, (255, 120, 180))]
    for centre, side, tint in planets:
        paste_sprite(canvas, sprites["Planet.tga"], centre, side, rotation=side * 7, tint=tint)
    paste_sprite(canvas, sprites["Gascloud.tga"], (830, 640), 120, opacity=0.6)
    paste_sprite(canvas, sprites["formation.tga"], (180, 660), 60, rotation=40)
    rnd = random.Random(92)
    for _ in range(40):
        paste_sprite(canvas, sprites["Debris.tga"], (rnd.uniform(60, 960), rnd.uniform(380, 740)),
                     rnd.uniform(7, 11), rotation=rnd.uniform(0, 360))
    paste_sprite(canvas, sprites["Spaceship.tga"], (690, 560), 44, rotation=20)

    title_pos = at_compose(512, 200)
    glowing_text(canvas, title_pos, "Vantorel", 150 * COMPOSE, (255, 255, 255, 255),
                 (255, 160, 60, 255), 16 * COMPOSE, glow_strength=1.3)
    gradient_text(canvas, title_pos, "Vantorel", 150 * COMPOSE, (255, 250, 220), (255, 170, 70))
    glowing_text(canvas, at_compose(512, 300), "Gather the dust of space into new worlds",
                 30 * COMPOSE, (220, 230, 255, 255), (60, 80, 200, 255), 6 * COMPOSE)
    glowing_text(canvas, at_compose(512, 725), "Click to begin", 30 * COMPOSE,
                 (255, 255, 255, 255), (255, 150, 60, 255), 8 * COMPOSE)
    return to_screen_picture(canvas)


INSTRUCTIONS = [
    ("ship", ["Click anywhere and your ship flies there."]),
    ("spin", ["Hold the left button on the ship to spin it up."]),
    ("debris", ["A fast-spinning ship pulls in and catches nearby debris."]),
    ("cloud", ["Fly through the gas cloud's centre at speed, aiming past it:",
               "the debris you tow becomes a planet, the more the larger.",
               "Holding the button on the centre creeps the ship in, but a",
               "ship already stopped in the cloud makes only the smallest."]),
    ("planet", ["Planets orbit the sun, the small ones faster."]),
    ("sun", ["Touching a formed planet or the sun destroys your ship."]),
    ("twelve", ["Form twelve planets to win."]),
]


def rounded_panel(canvas, box, fill, outline, width, radius):
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    scaled = tuple(v * COMPOSE for v in box)
    ImageDraw.Draw(layer).rounded_rectangle(scaled, radius * COMPOSE, fill=fill,
                                            outline=outline, width=width * COMPOSE)
    canvas.alpha_composite(layer)


def instruction_icon(canvas, sprites, kind, centre):
    x, y = centre
    if kind == "ship":
        paste_sprite(canvas, sprites["Spaceship.tga"], (x - 8, y + 6), 34)
        layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        tip = at_compose(x + 16, y - 18)
        arrow = [(0, 0), (0, 22), (6, 16), (11, 26), (15, 24), (10, 14), (18, 14)]
        ImageDraw.Draw(layer).polygon(
            [(tip[0] + ax * COMPOSE, tip[1] + ay * COMPOSE) for ax, ay in arrow],
            fill=(255, 255, 255, 255), outline=(30, 30, 40, 255))
        canvas.alpha_composite(layer)
    elif kind == "spin":
        paste_sprite(canvas, sprites["Spaceship.tga"], (x, y), 36, rotation=35)
        layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        cx, cy = at_compose(x, y)
        r = 25 * COMPOSE
        draw = ImageDraw.Draw(layer)
        for start in (20, 200):
            draw.arc((cx - r, cy - r, cx + r, cy + r), start, start + 120,
                     fill=(120, 220, 255, 255), width=3 * COMPOSE)
            end = math.radians(start + 120)
            ex, ey = cx + math.cos(end) * r, cy + math.sin(end) * r
            tx, ty = -math.sin(end), math.cos(end)
            nx, ny = math.cos(end), math.sin(end)
            head = 7 * COMPOSE
            draw.polygon([(ex + tx * head, ey + ty * head), (ex + nx * head * 0.8, ey + ny * head * 0.8),
                          (ex - nx * head * 0.8, ey - ny * head * 0.8)], fill=(120, 220, 255, 255))
        canvas.alpha_composite(layer)
    elif kind == "debris":
        paste_sprite(canvas, sprites["Spaceship.tga"], (x + 6, y), 30, rotation=70)
        for dx, dy in ((-20, -12), (-24, 8), (-12, 16), (-28, -2)):
            paste_sprite(canvas, sprites["Debris.tga"], (x + dx, y + dy), 10)
    elif kind == "cloud":
        paste_sprite(canvas, sprites["Gascloud.tga"], (x, y), 54, opacity=0.8)
    elif kind == "planet":
        orbit(canvas, (x, y), 26, 10, (150, 170, 230, 140), width=1)
        paste_sprite(canvas, sprites["sun.tga"], (x, y), 15)
        paste_sprite(canvas, sprites["Planet.tga"], (x + 22, y + 6), 16, tint=(140, 210, 255))
    elif kind == "sun":
        paste_sprite(canvas, sprites["sun.tga"], (x - 4, y), 32)
        paste_sprite(canvas, sprites["Explosion.tga"], (x + 14, y + 8), 24)
    elif kind == "twelve":
        glowing_text(canvas, at_compose(x, y), "12", 36 * COMPOSE, (255, 220, 120, 255),
                     (255, 150, 40, 255), 6 * COMPOSE)


def instructions(sprites):
    canvas = starfield(101, stars=500, nebula=0.7)
    rounded_panel(canvas, (52, 36, 972, 732), (8, 10, 30, 200), (120, 140, 220, 150), 2, 24)
    glowing_text(canvas, at_compose(512, 86), "How to play", 52 * COMPOSE, (255, 255, 255, 255),
                 (255, 150, 60, 255), 10 * COMPOSE)
    gradient_text(canvas, at_compose(512, 86), "How to play", 52 * COMPOSE, (255, 250, 225),
                  (255, 180, 90))
    top, row = 150, 74
    y = top
    for index, (icon, lines) in enumerate(INSTRUCTIONS):
        # Rows of more than two lines keep a little more room above and below.
        margin = 9 * max(0, len(lines) - 2)
        y += margin + (10 if index == 4 else 0)
        instruction_icon(canvas, sprites, icon, (130, y))
        first = y - (len(lines) - 1) * 15
        for line_index, words in enumerate(lines):
            layer = text_layer(canvas.size, at_compose(190, first + line_index * 30), words,
                               25 * COMPOSE, (232, 238, 255, 255), anchor="lm")
            canvas.alpha_composite(layer)
        y += row + margin
    glowing_text(canvas, at_compose(512, 700), "Click to continue", 30 * COMPOSE,
                 (255, 255, 255, 255), (255, 150, 60, 255), 8 * COMPOSE)
    return to_screen_picture(canvas)


def end_card(heading, line, top, bottom, accent):
    """The win or lose card: a panel in the middle of a transparent square, drawn
    45 units wide over the sun while the field goes on around it."""
    scale = 2
    side = 512 * scale
    card = Image.new("RGBA", (side, side), (0, 0, 0, 0))
    layer = Image.new("RGBA", card.size, (0, 0, 0, 0))
    box = (36 * scale, 126 * scale, 476 * scale, 386 * scale)
    ImageDraw.Draw(layer).rounded_rectangle(box, 30 * scale, fill=accent + (255,))
    card.alpha_composite(glow(layer, 14 * scale, 0.8))
    panel = Image.new("RGBA", card.size, (0, 0, 0, 0))
    ImageDraw.Draw(panel).rounded_rectangle(box, 30 * scale, fill=(8, 10, 28, 235),
                                            outline=accent + (255,), width=4 * scale)
    card.alpha_composite(panel)
    centre = side // 2
    halo = text_layer(card.size, (centre, 212 * scale), heading, 92 * scale, accent + (255,))
    card.alpha_composite(glow(halo, 10 * scale, 1.4))
    gradient_text(card, (centre, 212 * scale), heading, 92 * scale, top, bottom)
    card.alpha_composite(text_layer(card.size, (centre, 292 * scale), line, 32 * scale,
                                    (235, 240, 255, 255)))
    card.alpha_composite(text_layer(card.size, (centre, 346 * scale), "Click to play again",
                                    26 * scale, (170, 190, 235, 255)))
    return downsample(card, (512, 512))


def win():
    return end_card("You win!", "Twelve planets formed.", (255, 252, 225), (255, 190, 70),
                    (255, 180, 60))


def lose():
    return end_card("You lose", "Your ship was destroyed.", (255, 235, 220), (255, 90, 60),
                    (230, 60, 50))


# ---------------------------------------------------------------- main

ICONS = os.path.join(ROOT, "packaging", "icons")
ICON_SIDES = (16, 24, 32, 48, 64, 128, 256, 512)
ICON_LAYOUT = 512    # the icon's layout is given in pixels of its largest size
ICON_OVERSAMPLE = 4  # the tile and the flat shapes are drawn this much larger, box-filtered


def icon(side):
    """The desktop icon, drawn for a side of that many pixels: the sun with a planet on its
    orbit and the ship, on a dark tile. Details that would blur into noise go as it shrinks:
    the ship below 48 pixels, the orbit and the sun's grain and halo below 32."""
    canvas = icon_tile(side)
    if side < 32:
        place_centred(canvas, flat_ball(round(side * 0.56), (255, 248, 200), (240, 120, 30), 0.0),
                      (side * 0.5, side * 0.5))
        place_centred(canvas, flat_ball(round(side * 0.3), (190, 230, 255), (30, 80, 170), 0.4),
                      (side * 0.72, side * 0.7))
        return canvas
    small = side < 64
    at = side / ICON_LAYOUT

    def layout(x, y):
        return (x * at, y * at)

    sun_side = round(side * 0.5) if small else round(200 * at)
    planet_side = round(side * 0.3) if small else round(110 * at)
    sun = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    place_centred(sun, sun_layer(False, sun_side), (side / 2, side / 2))
    with_halo(canvas, sun, sun_side * 0.15)
    tinted = turned(planet(planet_side * 2), 30, planet_side)
    tint = Image.new("RGB", tinted.size, (120, 200, 255))
    place_centred(canvas, with_alpha(ImageChops.multiply(tinted.convert("RGB"), tint),
                                     tinted.getchannel("A")), layout(400, 330))
    if side >= 48:
        ship_side = round(side * 0.28) if small else round(120 * at)
        place_centred(canvas, spaceship(ship_side, turn=25), layout(130, 190))
    return canvas


def icon_tile(side):
    """The dark rounded tile with its rim and, from 32 pixels up, the planet's orbit;
    line widths are whole pixels of the size drawn, so the rim stays sharp."""
    scale = ICON_OVERSAMPLE
    big = side * scale
    at = side / ICON_LAYOUT * scale
    inset = side // 64 * scale
    canvas = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(canvas)
    draw.rounded_rectangle((inset, inset, big - inset - 1, big - inset - 1),
                           radius=round(96 * at), fill=(14, 16, 40, 255),
                           outline=(90, 110, 200, 255), width=max(1, round(10 * at / scale)) * scale)
    if side >= 32:
        draw.ellipse((70 * at, 150 * at, big - 70 * at, big - 150 * at),
                     outline=(150, 170, 230, 150), width=max(1, round(8 * at / scale)) * scale)
    return canvas.resize((side, side), Image.BOX)


def flat_ball(side, centre_colour, edge_colour, light):
    """A plain shaded disc for the smallest icons, its brightest point moved towards the
    upper left by light (0 to 1 of the radius)."""
    def shade(nx, ny):
        if math.hypot(nx, ny) > 1.0:
            return (0.0, 0.0, 0.0, 0.0)
        t = math.hypot(nx + light, ny + light) / (1.0 + light * math.sqrt(2.0))
        colour = mix(centre_colour, edge_colour, t ** 1.5)
        return (colour[0] / 255, colour[1] / 255, colour[2] / 255, 1.0)

    big = side * ICON_OVERSAMPLE
    ball = per_pixel((big, big), shade)
    return ball.convert("RGBa").resize((side, side), Image.BOX).convert("RGBA")


def turned(picture, degrees, side):
    """A picture turned at its own size, then shrunk to side, so the turn costs no sharpness."""
    return downsample(picture.rotate(degrees, resample=Image.BICUBIC), (side, side))


def place_centred(canvas, picture, centre):
    canvas.alpha_composite(picture, (round(centre[0] - picture.width / 2),
                                     round(centre[1] - picture.height / 2)))


def write_icons():
    os.makedirs(ICONS, exist_ok=True)
    for side in ICON_SIDES:
        icon(side).save(os.path.join(ICONS, "vantorel-%d.png" % side), optimize=True)


def main():
    os.makedirs(IMAGES, exist_ok=True)
    sprites = {
        "sun.tga": sun_layer(False),
        "sun2.tga": sun_layer(True),
        "Planet.tga": planet(),
        "moon.tga": moon(),
        "formation.tga": formation(),
        "Gascloud.tga": gas_cloud(),
        "Spaceship.tga": spaceship(),
        "Explosion.tga": explosion(),
        "Debris.tga": debris(),
        "win.tga": win(),
        "lose.tga": lose(),
    }
    for name, picture in sprites.items():
        save(picture, name)
    write_icons()
    screens = {
        "background.tga": background(),
        "titlescreen.tga": titlescreen(sprites),
        "instructions.tga": instructions(sprites),
    }
    for name, picture in screens.items():
        save(picture, name, opaque=True)
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview(sys.argv[2], sprites, screens)


def preview(directory, sprites, screens):
    """PNGs at the size the game draws each picture, over the play backdrop."""
    os.makedirs(directory, exist_ok=True)
    drawn = {"sun.tga": 82, "sun2.tga": 82, "Planet.tga": 61, "moon.tga": 61,
             "formation.tga": 61, "Gascloud.tga": 102, "Spaceship.tga": 41,
             "Explosion.tga": 41, "Debris.tga": 10, "win.tga": 461, "lose.tga": 461}
    backdrop = screens["background.tga"].resize((SCREEN_W, SCREEN_H), Image.BILINEAR)
    for name, picture in sprites.items():
        side = drawn[name]
        tile = backdrop.crop((0, 0, max(160, side + 40), max(160, side + 40))).convert("RGBA")
        shown = Image.open(os.path.join(IMAGES, name)).convert("RGBA")
        shown = shown.resize((side, side), Image.BILINEAR)
        tile.alpha_composite(shown, ((tile.width - side) // 2, (tile.height - side) // 2))
        tile.save(os.path.join(directory, name.replace(".tga", ".png")))
    for name in screens:
        shown = Image.open(os.path.join(IMAGES, name)).convert("RGB")
        shown.resize((SCREEN_W, SCREEN_H), Image.BILINEAR).save(
            os.path.join(directory, name.replace(".tga", ".png")))


if __name__ == "__main__":
    main()
