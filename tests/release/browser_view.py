#!/usr/bin/env python3
"""Opens ADDRESS in headless Chromium (through ChromeDriver's WebDriver
protocol), waits until the remote screen is drawn, saves a screenshot as
SHOT.png and looks in it for the keypad image KEYPAD.bmp (24-bit, as the
program draws it at zoom 1). Prints where the keypad is; exit status 0 when
it was found, 1 when not.

    browser_view.py DRIVER_PORT ADDRESS SHOT.png KEYPAD.bmp
"""
import base64
import json
import subprocess
import sys
import time
import urllib.request

# A pixel matches within this much per channel (the remote view may be
# compressed on the way); the keypad is found when this share of its
# pixels match.
TOLERANCE = 24
SHARE = 0.97


def call(port, method, path, body=None):
    data = json.dumps(body).encode() if body is not None else None
    request = urllib.request.Request(f"http://127.0.0.1:{port}{path}", data=data, method=method,
                                     headers={"Content-Type": "application/json"})
    with urllib.request.urlopen(request, timeout=60) as answer:
        return json.loads(answer.read())["value"]


def screenshot(port, address, shot):
    # The flags keep Chromium off the network this machine does not have.
    args = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--window-size=640,540"]
    session = call(port, "POST", "/session", {"capabilities": {"alwaysMatch": {
        "goog:chromeOptions": {"binary": "/usr/bin/chromium", "args": args}}}})["sessionId"]
    try:
        call(port, "POST", f"/session/{session}/url", {"url": address})
        # noVNC's page says so once connected; then give it a moment to draw.
        script = "return document.getElementById('status').textContent.startsWith('Connected');"
        for _ in range(100):
            if call(port, "POST", f"/session/{session}/execute/sync", {"script": script, "args": []}):
                break
            time.sleep(0.2)
        time.sleep(2)
        png = base64.b64decode(call(port, "GET", f"/session/{session}/screenshot"))
        with open(shot, "wb") as out:
            out.write(png)
    finally:
        call(port, "DELETE", f"/session/{session}")


def rgb(path):
    """Width, height and RGB bytes, through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True, text=True)
    width, height = map(int, size.stdout.split())
    pixels = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return width, height, pixels


def find(shot, keypad):
    sw, sh, screen = rgb(shot)
    kw, kh, image = rgb(keypad)
    row = kw * 3

    def close(a, b):
        return all(abs(x - y) <= TOLERANCE for x, y in zip(a, b))

    def share_at(x, y):
        good = 0
        for ky in range(kh):
            top = ((y + ky) * sw + x) * 3
            want = image[ky * row:(ky + 1) * row]
            got = screen[top:top + row]
            good += sum(1 for i in range(0, row, 3) if close(got[i:i + 3], want[i:i + 3]))
        return good / (kw * kh)

    # Candidates: where the keypad's first row stands exactly, as a lossless
    # view shows it; then every pixel is compared.
    first = image[0:row]
    for y in range(sh - kh + 1):
        line = screen[y * sw * 3:(y + 1) * sw * 3]
        at = line.find(first)
        while at >= 0:
            if at % 3 == 0 and at // 3 + kw <= sw:
                share = share_at(at // 3, y)
                if share >= SHARE:
                    return at // 3, y, share
            at = line.find(first, at + 1)
    return None


def main(port, address, shot, keypad):
    screenshot(port, address, shot)
    found = find(shot, keypad)
    if found is None:
        print(f"browser view: no keypad in {shot}")
        return 1
    x, y, share = found
    print(f"browser view: keypad at {x},{y}, {share:.1%} of its pixels as the skin's")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
