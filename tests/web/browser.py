"""Headless Chromium driven over the DevTools protocol, and the page served
locally: what the web tests and the tour need, with the standard library and
Pillow (Debian's python3-pil) for the pictures.

Chromium talks over --remote-debugging-pipe: commands go in on its fd 3,
replies and events come out on its fd 4, each a JSON text ended by a NUL.
"""
import base64
import functools
import http.server
import io
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

from PIL import Image

# Runs before the page's own scripts: keeps every sound context the page makes
# (with the time it was made and whether a gesture had happened), and lets the
# test move the page's clock, which the show reads through time(): shift it, or
# tie it to the show's frames (window.__framesPerSecond), so that frame k falls
# in second k / fps as in the capture tool; tied, the clock the motion reads
# (performance.now) puts frame k at k / fps seconds after the show's clock
# started, as capture does, once it has started.
INSTRUMENT = r"""
(() => {
  window.__audioContexts = [];
  const Original = window.AudioContext;
  if (Original) {
    window.AudioContext = function (...args) {
      const context = new Original(...args);
      window.__audioContexts.push({context, made: performance.now(),
                                   activated: navigator.userActivation.hasBeenActive});
      return context;
    };
    window.AudioContext.prototype = Original.prototype;
  }
  window.__clockShift = 0;
  window.__framesPerSecond = 0;
  const realNow = performance.now.bind(performance);
  performance.now = () => {
    const started = window.__framesPerSecond && window.Module && Module.calledRun ? Module._web_clock_started_at() : 0;
    if (!started) return realNow();
    return started * 1000 + Module._web_frame_counter() * 1000 / window.__framesPerSecond;
  };
  const now = Date.now.bind(Date);
  const base = now();
  Date.now = () => {
    if (!window.__framesPerSecond) return now() + window.__clockShift;
    const frames = window.Module && Module.calledRun ? Module._web_frame_counter() : 0;
    return base + Math.floor(frames / window.__framesPerSecond) * 1000;
  };
})();
"""

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--remote-debugging-pipe",
    # WebGL on the CPU (no GPU here), through the ANGLE back end WEBGL names.
    "--enable-unsafe-swiftshader", "--ignore-gpu-blocklist",
    # The machine has no network beyond localhost: no background connections.
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-quic", "--no-first-run", "--no-default-browser-check",
    # Animation frames keep coming while the page is not in front.
    "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
    "--disable-backgrounding-occluded-windows",
    "--window-size=1024,768", "--mute-audio",
]

# The WebGL a test may ask for: Chromium's flags, and a word its renderer
# string must hold. SwiftShader is Chromium's own; llvmpipe is the desktop's
# rasterizer, through ANGLE over Mesa's EGL, for comparing the two.
WEBGL = {
    "swiftshader": (["--use-angle=swiftshader"], "SwiftShader"),
    "llvmpipe": (["--use-gl=angle", "--use-angle=gl-egl"], "llvmpipe"),
}

WEBGL_RENDERER = """(() => {
  const gl = document.createElement("canvas").getContext("webgl");
  if (!gl) return "no WebGL";
  const info = gl.getExtension("WEBGL_debug_renderer_info");
  return gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
})()"""


class PageServer:
    """The page's folder over HTTP on 127.0.0.1, on a free port."""

    def __init__(self, folder):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

    def log_message(self, *args):
        pass


class ProtocolError(Exception):
    pass


class Chromium:
    """One headless Chromium with one page, attached for commands and events."""

    def __init__(self, chromium="chromium", webgl="swiftshader"):
        flags, expected = WEBGL[webgl]
        self.profile = tempfile.mkdtemp(prefix="show-web-chromium-")
        commands_read, self._commands = os.pipe()
        self._replies, replies_write = os.pipe()

        def child_fds():
            os.dup2(commands_read, 3)
            os.dup2(replies_write, 4)

        self.process = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, *flags, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=child_fds, pass_fds=(3, 4))
        os.close(commands_read)
        os.close(replies_write)
        self._next_id = 0
        self._buffer = b""
        self._instrument = None  # the instruments of the page last opened
        self.events = []
        self.session = None
        targets = self.command("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.command("Target.attachToTarget", targetId=page["targetId"], flatten=True,
                                    session=False)["sessionId"]
        # A Chromium that cannot give what was asked falls back to another
        # WebGL, or none, without a word: the tests would measure that one.
        self.webgl = self.evaluate(WEBGL_RENDERER)
        if expected not in str(self.webgl):
            self.close()
            raise ProtocolError("asked for %s WebGL, got %r" % (webgl, self.webgl))

    def close(self):
        try:
            self.command("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._commands)
        os.close(self._replies)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise TimeoutError("no answer from Chromium")
            import select
            ready, _, _ = select.select([self._replies], [], [], remaining)
            if not ready:
                continue
            chunk = os.read(self._replies, 1 << 20)
            if not chunk:
                raise ProtocolError("Chromium closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def command(self, method, session=True, timeout=30, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise ProtocolError("%s: %s" % (method, reply["error"].get("message")))
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def pump(self, seconds=0.0):
        """Collects the events that arrive within the given time."""
        deadline = time.monotonic() + seconds
        while True:
            try:
                reply = self._read_message(max(deadline, time.monotonic() + 0.001))
            except TimeoutError:
                return
            if "method" in reply:
                self.events.append(reply)

    def evaluate(self, expression, timeout=30):
        result = self.command("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True,
                              timeout=timeout)
        if "exceptionDetails" in result:
            raise ProtocolError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30, interval=0.1):
        """Polls until the expression is truthy; returns its value or None."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(interval)
        return None

    def open(self, url, setup=""):
        self.command("Page.enable")
        self.command("Runtime.enable")
        self.command("Log.enable")
        # Only this page's instruments: those of a page opened before are dropped.
        if self._instrument:
            self.command("Page.removeScriptToEvaluateOnNewDocument", identifier=self._instrument)
        self._instrument = self.command("Page.addScriptToEvaluateOnNewDocument",
                                        source=INSTRUMENT + setup)["identifier"]
        self.command("Page.navigate", url=url)
        self.wait_for("document.readyState === 'complete'")

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.command("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def click_element(self, selector):
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        self.click(box[0], box[1])

    def press(self, key, code, key_code):
        for kind in ("rawKeyDown", "keyUp"):
            self.command("Input.dispatchKeyEvent", type=kind, key=key, code=code, windowsVirtualKeyCode=key_code,
                         nativeVirtualKeyCode=key_code)

    def screenshot(self, selector):
        """The element's pixels as (width, height, RGB bytes, top row first)."""
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.x, r.y, r.width, r.height]; })()" % json.dumps(selector))
        shot = self.command("Page.captureScreenshot", format="png",
                            clip={"x": box[0], "y": box[1], "width": box[2], "height": box[3], "scale": 1})
        return decode_png(base64.b64decode(shot["data"]))

    def uncaught_errors(self):
        """Exceptions nobody caught and messages the console shows as errors."""
        self.pump()
        errors = []
        for event in self.events:
            method, params = event["method"], event.get("params", {})
            if method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                errors.append("uncaught: %s %s" % (details.get("text"),
                                                   details.get("exception", {}).get("description", "")))
            elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
                errors.append("console.error: %s" % " ".join(str(a.get("value", a.get("description")))
                                                            for a in params.get("args", [])))
            elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                errors.append("log: %s" % params["entry"].get("text"))
        return errors

    def console_lines(self):
        self.pump()
        lines = []
        for event in self.events:
            if event["method"] == "Runtime.consoleAPICalled":
                params = event["params"]
                lines.append("%s: %s" % (params.get("type"), " ".join(str(a.get("value", a.get("description")))
                                                                     for a in params.get("args", []))))
            elif event["method"] == "Log.entryAdded":
                lines.append("log %s: %s" % (event["params"]["entry"].get("level"),
                                             event["params"]["entry"].get("text")))
        return lines


def decode_png(data):
    """A PNG to (width, height, RGB rows top first)."""
    image = Image.open(io.BytesIO(data)).convert("RGB")
    return image.width, image.height, image.tobytes()


def lit_fraction(pixels, threshold=24):
    """The share of pixels brighter than the threshold in any channel."""
    count = len(pixels) // 3
    lit = sum(1 for i in range(0, len(pixels), 3) if max(pixels[i], pixels[i + 1], pixels[i + 2]) > threshold)
    return lit / count


def write_png(path, width, height, pixels):
    """RGB rows top first into a PNG."""
    Image.frombytes("RGB", (width, height), bytes(pixels)).save(path)
