#!/usr/bin/env python3
"""GUI benchmark: opens generated Markdown documents of 1, 4 and 8 MB in the real
program under a virtual X display and reports, per size, the time until the
content shows, both mode switches, key-echo latency in both modes at the middle
of the document, the save time, and RSS/PSS over the process tree.

Every time is taken from the X server: keys and clicks are XTest events, and
the result is seen by reading the screen (XGetImage) until the pixels change.
No sleep is a measurement; waits between steps only let the program settle.
"""

import argparse
import ctypes
import ctypes.util
import hashlib
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# ---------------------------------------------------------------------------
# The document

WORDS = ("lorem vanta pell orbic strand mivo talune ferro quasi nubel orant "
         "cadre silvo pomar tenek virel daro upsil kemba solen frith margo "
         "plinth oster auden lumo crest velda nomic saphe torin brisk").split()

CODE = {
    'python': ['def {w}_{n}(items):', '    total = 0', '    for item in items:',
               '        total += item * {n}', '    return total'],
    'cpp': ['int {w}{n}(const std::vector<int> &v)', '{{', '    int sum = 0;',
            '    for (int x : v) sum += x * {n};', '    return sum;', '}}'],
    'javascript': ['function {w}{n}(list) {{', '  return list.map(function (x) {{',
                   '    return x + {n};', '  }});', '}}'],
    'sql': ['SELECT {w}, count(*) FROM t{n}', 'WHERE id > {n}', 'GROUP BY {w};'],
    'go': ['func {w}{n}(a []int) int {{', '\ts := 0', '\tfor _, x := range a {{',
           '\t\ts += x', '\t}}', '\treturn s + {n}', '}}'],
    'rust': ['fn {w}_{n}(v: &[i32]) -> i32 {{', '    v.iter().sum::<i32>() + {n}', '}}'],
}

MARKER = 'zqxmiddlemarkerzqx'


def sentence(rng, n):
    words = [rng.choice(WORDS) for _ in range(n)]
    words[0] = words[0].capitalize()
    return ' '.join(words) + '.'


def section(rng, n):
    """One chapter of about 900 bytes of mixed Markdown (30 lines, 1 heading,
    0.7 code blocks on average: close to a real manual's mix)."""
    out = ['## Section %d %s' % (n, rng.choice(WORDS)), '']
    para = ' '.join(sentence(rng, rng.randint(8, 14)) for _ in range(3))
    para += ' See [the %s page](https://example.org/%s/%d) and *%s* or **%s**.' % (
        rng.choice(WORDS), rng.choice(WORDS), n, rng.choice(WORDS), rng.choice(WORDS))
    out += [para, '']
    out += [' '.join(sentence(rng, rng.randint(8, 14)) for _ in range(3)), '']
    kind = n % 10
    if kind in (0, 3, 5, 7, 8, 9, 1):
        lang = list(CODE)[n % len(CODE)]
        out.append('```' + lang)
        out += [line.format(w=rng.choice(WORDS), n=n) for line in CODE[lang]]
        out += ['```', '']
    if kind in (2, 6):
        out += ['| Name | Value | Note |', '|---|---:|:---:|']
        out += ['| %s | %d | %s |' % (rng.choice(WORDS), rng.randint(1, 999), rng.choice(WORDS)) for _ in range(4)]
        out.append('')
    if kind in (1, 4, 8):
        out += ['- ' + sentence(rng, rng.randint(3, 7)) for _ in range(3)]
        out += ['', '1. ' + sentence(rng, 4), '2. ' + sentence(rng, 5), '']
    if kind == 4:
        out += ['> ' + sentence(rng, 9), '']
    return out


def generate(size):
    rng = random.Random(size)
    lines = ['# Generated manual', '', sentence(rng, 12), '']
    total = 0
    n = 0
    middle_done = False
    while total < size:
        part = section(rng, n)
        if not middle_done and total >= size // 2:
            part += ['The middle %s of the document, %s.' % (MARKER, sentence(rng, 8)), '']
            middle_done = True
        lines += part
        total += sum(len(line) + 1 for line in part)
        n += 1
    return '\n'.join(lines) + '\n'

# ---------------------------------------------------------------------------
# X server access (Xlib and XTest through ctypes)


class XImage(ctypes.Structure):
    _fields_ = [('width', ctypes.c_int), ('height', ctypes.c_int), ('xoffset', ctypes.c_int),
                ('format', ctypes.c_int), ('data', ctypes.c_void_p), ('byte_order', ctypes.c_int),
                ('bitmap_unit', ctypes.c_int), ('bitmap_bit_order', ctypes.c_int),
                ('bitmap_pad', ctypes.c_int), ('depth', ctypes.c_int), ('bytes_per_line', ctypes.c_int),
                ('bits_per_pixel', ctypes.c_int)]


class X:
    def __init__(self, display):
        self.x11 = ctypes.CDLL(ctypes.util.find_library('X11'))
        self.xtst = ctypes.CDLL(ctypes.util.find_library('Xtst'))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XGetImage.restype = ctypes.POINTER(XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise SystemExit('cannot open display ' + display)
        self.root = self.x11.XDefaultRootWindow(self.dpy)
        self.name = display

    def grab(self, x, y, w, h):
        """The pixels of a screen rectangle as bytes (32 bits a pixel)."""
        img = self.x11.XGetImage(self.dpy, self.root, x, y, w, h, 0xFFFFFFFF, 2)
        if not img:
            return b''
        im = img.contents
        data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
        self.x11.XFree(im.data)
        self.x11.XFree(img)
        return data

    def keycode(self, name):
        return self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(name.encode()))

    def key(self, name, modifiers=()):
        codes = [self.keycode(m) for m in modifiers] + [self.keycode(name)]
        for c in codes:
            self.xtst.XTestFakeKeyEvent(self.dpy, c, 1, 0)
        for c in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.dpy, c, 0, 0)
        self.x11.XSync(self.dpy, 0)

    def click(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.x11.XSync(self.dpy, 0)

    def type(self, text):
        for ch in text:
            self.key(ch)


DARK = bytes(1 if i < 110 else 0 for i in range(256))
LIGHT = bytes(1 if i > 200 else 0 for i in range(256))


def dark_pixels(data):
    """Pixels whose green channel is dark."""
    return data[1::4].translate(DARK).count(1)


def shows_text(data):
    """Text on a light page: some dark pixels on a mostly light area (an
    unpainted window is black, a page without content white)."""
    green = data[1::4]
    return green.translate(DARK).count(1) > 2000 and green.translate(LIGHT).count(1) > len(green) // 3


def bits_changed(a, b):
    if len(a) != len(b):
        return 1 << 30
    return (int.from_bytes(a, 'little') ^ int.from_bytes(b, 'little')).bit_count()

# ---------------------------------------------------------------------------
# Process tree memory


def tree_pids(root):
    pids = [root]
    i = 0
    while i < len(pids):
        try:
            with open('/proc/%d/task/%d/children' % (pids[i], pids[i])) as f:
                pids += [int(p) for p in f.read().split()]
        except OSError:
            pass
        i += 1
    return pids


def tree_memory(root):
    """RSS and PSS in MB summed over the process and its children."""
    rss = pss = 0
    for pid in tree_pids(root):
        try:
            with open('/proc/%d/smaps_rollup' % pid) as f:
                for line in f:
                    if line.startswith('Rss:'):
                        rss += int(line.split()[1])
                    elif line.startswith('Pss:'):
                        pss += int(line.split()[1])
        except OSError:
            pass
    return rss / 1024.0, pss / 1024.0

# ---------------------------------------------------------------------------
# The run


class Run:
    W, H = 1200, 900

    def __init__(self, x, program, path, env, timeout):
        self.x = x
        self.timeout = timeout
        self.path = path
        self.t0 = time.monotonic()
        self.proc = subprocess.Popen([program, path, '-geometry', '%dx%d+0+0' % (self.W, self.H)],
                                     env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.area = None
        self.pid = self.proc.pid

    def place(self):
        """Finds the window; the document area is below the tool bar and
        the find bar, above the status bar."""
        env = dict(os.environ, DISPLAY=self.x.name)
        while True:
            out = subprocess.run(['xdotool', 'search', '--onlyvisible', '--pid', str(self.pid)],
                                 env=env, capture_output=True, text=True).stdout.split()
            if out:
                break
            time.sleep(0.005)
        geo = subprocess.run(['xdotool', 'getwindowgeometry', '--shell', out[-1]],
                             env=env, capture_output=True, text=True).stdout
        g = dict(line.split('=') for line in geo.split())
        self.W, self.H = int(g['WIDTH']), int(g['HEIGHT'])
        self.area = (10, 100, self.W - 40, self.H - 140)

    def shot(self, rect=None):
        return self.x.grab(*(rect or self.area))

    def wait_until(self, test, timeout=None, period=0.004):
        end = time.monotonic() + (timeout or self.timeout)
        while time.monotonic() < end:
            value = test()
            if value:
                return time.monotonic()
            time.sleep(period)
        return None

    def settle(self, since, quiet=1.5, timeout=None, need_text=True):
        """The time of the last visible change after since, once the area has
        stayed the same for quiet seconds (a caret blink is not a change)."""
        end = time.monotonic() + (timeout or self.timeout)
        prev = self.shot()
        last = None
        while time.monotonic() < end:
            time.sleep(0.01)
            cur = self.shot()
            now = time.monotonic()
            if bits_changed(prev, cur) > 3000:
                last = now
                prev = cur
            elif now - (last or since) > quiet and (not need_text or shows_text(cur)):
                return 0.0 if last is None else last - since
        return None

    def content_visible(self):
        self.place()
        t = self.wait_until(lambda: shows_text(self.shot()))
        return None if t is None else t - self.t0

    def shows(self, reference):
        """The time until the area shows reference again (a caret aside)."""
        return self.wait_until(lambda: bits_changed(self.shot(), reference) < 3000, period=0.01)

    def close_find_bar(self):
        self.x.click(521, 75)

    def click_mode_button(self):
        # The first widget of the status bar, at the bottom left.
        self.x.click(22, self.H - 15)

    def find_marker(self, source):
        """Where the marker in the middle shows: the find bar selects it and
        scrolls to it (the page marks it orange or yellow, the source editor blue)."""
        self.x.click(15, 300)
        time.sleep(0.3)
        self.x.key('f', ('Control_L',))
        time.sleep(0.5)
        self.x.key('a', ('Control_L',))
        self.x.type(MARKER)
        self.x.key('Return')
        if not source:
            time.sleep(1.0)
            self.x.key('Escape')
        # A slow page finds late: look until the match shows.
        end = time.monotonic() + min(self.timeout, 120)
        while True:
            time.sleep(1.0)
            where = self.match_on_screen(source)
            if where or time.monotonic() > end:
                return where

    def match_on_screen(self, source):
        data = self.shot()
        w = self.area[2]
        best = None
        for i in range(0, len(data), 4):
            b, g, r = data[i], data[i + 1], data[i + 2]
            if (r < 90 and 100 < g < 180 and b > 170) if source else (r > 230 and g > 120 and b < 90):
                p = i // 4
                y, xx = divmod(p, w)
                if best is None:
                    best = [xx, y, xx, y]
                elif abs(y - best[3]) < 30:
                    best = [min(best[0], xx), best[1], max(best[2], xx), y]
        if not best:
            return None
        return (self.area[0] + (best[0] + best[2]) // 2, self.area[1] + (best[1] + best[3]) // 2)

    def key_echo(self, where, samples):
        """Latency from a key event to the changed pixels around the caret."""
        cx, cy = where
        rect = (self.area[0], max(0, cy - 40), self.area[2], 80)
        self.x.click(cx, cy)
        time.sleep(1.0)
        # Whatever the find left selected stays: type at the end of the line.
        self.x.key('End')
        time.sleep(0.5)
        times = []
        for i in range(samples):
            ref = self.shot(rect)
            key = 'x' if i % 2 == 0 else 'BackSpace'
            t = time.monotonic()
            self.x.key(key)
            done = self.wait_until(lambda: bits_changed(self.shot(rect), ref) > 600, timeout=10, period=0.0005)
            if done is None:
                times.append(10.0)
            else:
                times.append(done - t)
            time.sleep(0.15)
        return times

    def save(self):
        """Ctrl+S after an edit: until the file on disk is new."""
        before = os.stat(self.path).st_mtime_ns
        t = time.monotonic()
        self.x.key('s', ('Control_L',))
        done = self.wait_until(lambda: os.stat(self.path).st_mtime_ns != before, period=0.002)
        return None if done is None else done - t

    def close(self):
        self.proc.kill()
        self.proc.wait()


def ms(v):
    return '-' if v is None else '%.0f ms' % (v * 1000) if v < 10 else '%.1f s' % v


def pct(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100.0 * (len(values) - 1))))]


def bench_size(x, program, size, workdir, args):
    path = os.path.join(workdir, 'doc-%smb.md' % size)
    with open(path, 'w') as f:
        f.write(generate(int(size * 1000 * 1000)))
    home = tempfile.mkdtemp(prefix='home', dir=workdir)
    env = dict(os.environ, DISPLAY=args.display, HOME=home, XDG_CONFIG_HOME=home + '/.config',
               XDG_DATA_HOME=home + '/.local/share', QTWEBENGINE_DISABLE_SANDBOX='1')
    r = Run(x, program, path, env, args.timeout)
    res = {'size': size}
    try:
        res['visible'] = r.content_visible()
        if res['visible'] is None:
            return res
        # Everything is in place once the screen stops changing.
        r.settle(time.monotonic(), quiet=2.0, timeout=args.timeout)
        res['mem'] = tree_memory(r.proc.pid)
        where = r.find_marker(False)
        res['echo_page'] = r.key_echo(where, args.keys) if where else None
        # WYSIWYG -> source
        time.sleep(1.0)
        t = time.monotonic()
        r.click_mode_button()
        res['to_source'] = r.settle(t)
        where = r.find_marker(True)
        res['echo_source'] = r.key_echo(where, args.keys) if where else None
        # source -> WYSIWYG: until the page shows and answers a key (the page
        # shows its previous content at once; the new one is in once a key
        # typed into it echoes).
        time.sleep(1.0)
        before = r.shot()
        t = time.monotonic()
        r.click_mode_button()
        r.wait_until(lambda: bits_changed(r.shot(), before) > 3000, period=0.005)
        r.x.click(15, 300)
        ref = r.shot()
        r.x.key('x')
        shown = r.wait_until(lambda: bits_changed(r.shot(), ref) > 600, period=0.005)
        res['to_page'] = None if shown is None else shown - t
        r.x.key('BackSpace')
        time.sleep(1.0)
        res['save'] = r.save()
        res['mem_end'] = tree_memory(r.proc.pid)
    finally:
        r.close()
    return res


def echo_text(times):
    if not times:
        return '-'
    return '%.1f / %.1f ms' % (statistics.median(times) * 1000, pct(times, 90) * 1000)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--program', default='build/veltrane')
    ap.add_argument('--display', default=':72')
    ap.add_argument('--sizes', default='1,4,8', help='MB, comma separated')
    ap.add_argument('--keys', type=int, default=20, help='key-echo samples per mode')
    ap.add_argument('--timeout', type=float, default=600, help='seconds allowed for one step')
    ap.add_argument('--no-xvfb', action='store_true', help='use a display that is already running')
    ap.add_argument('--write-sample', type=int, metavar='MB', help='print the generated document and stop')
    args = ap.parse_args()
    if args.write_sample:
        sys.stdout.write(generate(args.write_sample * 1000 * 1000))
        return
    program = os.path.abspath(args.program)
    workdir = tempfile.mkdtemp(prefix='veltrane-guibench-')
    xvfb = None
    if not args.no_xvfb:
        xvfb = subprocess.Popen(['Xvfb', args.display, '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
    try:
        x = X(args.display)
        rows = []
        for size in [float(s) for s in args.sizes.split(',')]:
            res = bench_size(x, program, size, workdir, args)
            rows.append(res)
            print('%g MB: %r' % (size, res), file=sys.stderr, flush=True)
        print('| size | content visible | to source | to WYSIWYG | echo WYSIWYG (median / p90) '
              '| echo source (median / p90) | save | RSS / PSS |')
        print('|---|---|---|---|---|---|---|---|')
        for res in rows:
            mem = res.get('mem_end') or res.get('mem') or (0, 0)
            print('| %g MB | %s | %s | %s | %s | %s | %s | %.0f / %.0f MB |' % (
                res['size'], ms(res.get('visible')), ms(res.get('to_source')), ms(res.get('to_page')),
                echo_text(res.get('echo_page')), echo_text(res.get('echo_source')), ms(res.get('save')),
                mem[0], mem[1]))
    finally:
        if xvfb:
            xvfb.kill()
            xvfb.wait()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == '__main__':
    main()
