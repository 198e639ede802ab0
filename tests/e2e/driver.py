"""Drives the real folianto.exe under Wine as a person would: xdotool clicks at the controls'
screen positions and keys typed into Wine's real dialogs. Results are read from outside, through
the inspector (another Win32 program that reads the window's controls) and from files on disk.

A session owns one copy of the build's Wine prefix, the program, the inspector and a work folder
outside the prefix (Wine hides the prefix's own folder from listings). Every step is named; a
failing step takes a screenshot and says which step failed."""

import collections
import contextlib
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

import xcursor

SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def _control_ids():
    """The main window's control ids, as resources/resource.h gives them to the program."""
    with open(os.path.join(SOURCE_ROOT, "resources", "resource.h")) as header:
        return {name: int(value) for name, value in
                re.findall(r"^#define IDC_(\w+) (\d+)", header.read(), re.MULTILINE)}


_IDS = _control_ids()
COMMAND1 = _IDS["COMMAND1"]
CHECK1_ADD_FILES = _IDS["CHECK1"]
CHECK2_JOIN = _IDS["CHECK2"]
CHECK3_MOVE_UP = _IDS["CHECK3"]
CHECK4_ADD_FOLDER = _IDS["CHECK4"]
CHECK5_MOVE_DOWN = _IDS["CHECK5"]
LISTVIEW1 = _IDS["LISTVIEW1"]
PROGRESSBAR1 = _IDS["PROGRESSBAR1"]
LABEL1 = _IDS["LABEL1"]
PICTURE_BUTTONS = [CHECK1_ADD_FILES, CHECK2_JOIN, CHECK3_MOVE_UP, CHECK4_ADD_FOLDER,
                   CHECK5_MOVE_DOWN]

OPEN_TITLE = "Add File(s) - Use Ctrl & Shift to select multiple files"
SAVE_TITLE = "Save Join File As"
FOLDER_TITLE = "Browse for Folder"
MESSAGE_TITLE = "Folianto"

EXIT_FAILED = 1


class StepFailed(Exception):
    pass


def unix_to_wine(path):
    """The Z: path Wine gives a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_to_unix(path):
    if path[:2].upper() != "Z:":
        raise ValueError(f"not a Z: path: {path}")
    return path[2:].replace("\\", "/")


def center(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def contrast_ratio(a, b):
    """WCAG's contrast ratio of two (r, g, b) colours: 1 (the same) to 21 (black on white)."""
    def luminance(colour):
        linear = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
                  for c in (channel / 255 for channel in colour)]
        return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    lighter, darker = sorted((luminance(a), luminance(b)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


class Screen:
    """The pixels of one screenshot, as (r, g, b) by screen position."""

    def __init__(self, ppm):
        header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", ppm)
        if not header:
            raise StepFailed("the screenshot is not an 8-bit PPM")
        self.width = int(header.group(1))
        self.pixels = ppm[header.end():]

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])

    def text_on_face(self, rect):
        """The face (the commonest colour in rect), the pixel that stands out most from it, and
        their contrast ratio."""
        left, top, right, bottom = rect
        counts = collections.Counter(self.pixel(x, y) for y in range(top, bottom)
                                     for x in range(left, right))
        face = counts.most_common(1)[0][0]
        text = max(counts, key=lambda colour: contrast_ratio(face, colour))
        return face, text, contrast_ratio(face, text)


class Inspector:
    """The inspector exe, kept running: one JSON line back per command line sent."""

    def __init__(self, exe, env):
        self.process = subprocess.Popen(["wine", exe], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        env=env)
        self.buffer = b""

    def ask(self, command, timeout=30):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()
        deadline = time.monotonic() + timeout
        while True:
            newline = self.buffer.find(b"\n")
            if newline >= 0:
                line, self.buffer = self.buffer[:newline], self.buffer[newline + 1:]
                line = line.strip()
                if line.startswith(b"{"):
                    return json.loads(line.decode("utf-8"))
                continue
            left = deadline - time.monotonic()
            if left <= 0:
                raise StepFailed(f"the inspector did not answer '{command}'")
            ready, _, _ = select.select([self.process.stdout], [], [], left)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                if not chunk:
                    raise StepFailed("the inspector ended")
                self.buffer += chunk

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()


class Session:
    def __init__(self, build, scenario):
        """build: the Windows build folder."""
        self.build = os.path.abspath(build)
        self.bin = os.path.join(self.build, "bin")
        # Where folianto.exe and pdftk.exe stand: bin/ unless a scenario brings its own.
        self.app_folder = self.bin
        # What comes between "wine" and the program: "start /max ..." starts it as a shortcut
        # set to "Maximized" does.
        self.launch = []
        # What comes after the program: files and folders, as Explorer's Send To gives them.
        self.arguments = []
        # Runs in the session's Wine before the program starts, when a scenario sets it.
        self.before_program = None
        self.pointer_image = None
        self.scenario = scenario
        self.shots = os.path.join(self.build, "e2e", scenario)
        shutil.rmtree(self.shots, ignore_errors=True)
        os.makedirs(self.shots)
        self.shot_count = 0
        self.work = tempfile.mkdtemp(prefix=f"folianto-e2e-{scenario}-")
        self.prefix = os.path.join(self.work, "wineprefix")
        self.current_step = None
        self.program = None
        self.inspector = None
        self.log = open(os.path.join(self.shots, "wine.log"), "wb")
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            # Wine maps file names through the Unix locale; under C non-Latin names are lost.
            "LC_ALL": "C.UTF-8",
            # The pointer images Wine shows come from this theme (xcursor.py knows their shapes).
            "XCURSOR_THEME": "Adwaita",
            "XCURSOR_SIZE": "24",
            # The pdftk bridge's Winelib module sits next to the program in bin/.
            "WINEDLLPATH": self.bin,
        })
        if not self.env.get("DISPLAY"):
            raise StepFailed("no DISPLAY: run the scenario through run-scenario.sh")

    # Steps, screenshots, waiting.

    def say(self, text):
        print(f"[{self.scenario}] {text}", flush=True)

    @contextlib.contextmanager
    def step(self, name):
        self.current_step = name
        self.say(f"step: {name}")
        try:
            yield
        except StepFailed:
            raise
        except Exception as error:  # an unexpected error still names its step
            raise StepFailed(f"{type(error).__name__}: {error}") from error

    def shot(self, name):
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:02d}-{name}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def screen(self, name):
        """A screenshot to read pixels from; kept as a picture too."""
        path = self.shot(name)
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        return Screen(ppm)

    def wait(self, probe, what, timeout=20, interval=0.1):
        """Polls probe until it returns something true, and returns that."""
        deadline = time.monotonic() + timeout
        while True:
            value = probe()
            if value:
                return value
            if time.monotonic() > deadline:
                raise StepFailed(f"timed out after {timeout} s waiting for {what}")
            time.sleep(interval)

    def check(self, condition, message):
        if not condition:
            raise StepFailed(message)

    # The program.

    def start(self):
        with self.step("prepare a private Wine prefix"):
            source = os.path.join(self.build, "wineprefix")
            if not os.path.exists(os.path.join(source, ".folianto-ready")):
                subprocess.run([os.path.join(SOURCE_ROOT, "tools", "wine-run.sh"), self.build,
                                "cmd.exe", "/c", "exit"], check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["cp", "-a", source, self.prefix], check=True)
            if self.before_program:
                self.before_program()
        self.start_program()

    def start_program(self):
        """Starts folianto.exe (again, once an earlier one has ended) and waits for its window."""
        with self.step("start folianto.exe and wait for its window"):
            exe = os.path.join(self.app_folder, "folianto.exe")
            self.check(os.path.exists(exe), f"{exe} is not built")
            # The pointer stays away from the window, so no tooltip covers the controls.
            self.xdotool("mousemove", "0", "0")
            self.program = subprocess.Popen(["wine", *self.launch, exe, *self.arguments],
                                            cwd=self.work,
                                            env=self.env, stdout=self.log, stderr=self.log)
            if not self.inspector:
                self.inspector = Inspector(os.path.join(self.bin, "e2e_inspector.exe"), self.env)
            self.main = self.wait(lambda: self._shown_main(), "the Folianto window", timeout=60)
            self.controls = {c["id"]: c for c in self.ask("controls")["controls"]}
            self.shot("started")

    def _shown_main(self):
        main = self.ask("main")
        return main if main.get("found") and main.get("visible") else None

    def ask(self, command):
        return self.inspector.ask(command)

    def state(self):
        state = self.ask("state")
        if not state.get("found"):
            raise StepFailed("the Folianto window is gone")
        return state

    def items(self):
        return self.state()["items"]

    def dialogs(self):
        answer = self.ask("dialogs")
        dialogs = answer.get("dialogs", []) if answer.get("found") else []
        for dialog in dialogs:
            controls = dialog.get("controls", [])
            dialog["statics"] = [c["text"] for c in controls if c["class"] == "Static" and c["text"]]
            # A task dialog shows its text in a Static control of its own, and has no edit box.
            if dialog["text"] is None and not any(c["class"] == "Edit" for c in controls):
                dialog["text"] = "\n".join(dialog["statics"]) or None
        return dialogs

    def dialog_control(self, title, text):
        """The control of the dialog titled title whose text is text (an access key's "&" left
        out), or None."""
        for control in (self.dialog(title) or {}).get("controls", []):
            if control["text"].replace("&", "") == text:
                return control
        return None

    def dialog(self, title):
        for dialog in self.dialogs():
            if dialog["title"] == title:
                return dialog
        return None

    def wait_dialog(self, title, timeout=20):
        return self.wait(lambda: self.dialog(title), f'the "{title}" window', timeout)

    def wait_dialog_closed(self, title, timeout=20):
        self.wait(lambda: self.dialog(title) is None, f'the "{title}" window to close', timeout)

    def wait_items(self, expected, timeout=20):
        last = []

        def probe():
            nonlocal last
            last = self.items()
            return last == expected

        try:
            self.wait(probe, "the list entries", timeout)
        except StepFailed:
            raise StepFailed(f"list entries are {last}, expected {expected}")

    def program_ended(self):
        return self.program is not None and self.program.poll() is not None

    # Input, as a person gives it.

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self.env, check=True)

    def click_at(self, x, y, double=False):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        if double:
            self.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        else:
            self.xdotool("click", "1")

    def click_control(self, control_id):
        self.click_at(*center(self.controls[control_id]["rect"]))

    def click_entry(self, position, double=False):
        answer = self.ask(f"itemrect {position}")
        self.check(answer.get("rect"), f"list entry {position} has no rectangle")
        left, top, right, bottom = answer["rect"]
        # Inside the first column's text, away from the edges.
        self.click_at(left + 40, (top + bottom) // 2, double)

    def right_click_at(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", "3")

    def entry_point(self, position, fraction=0.5):
        """A point inside the first column of list entry position, fraction down its height."""
        answer = self.ask(f"itemrect {position}")
        self.check(answer.get("rect"), f"list entry {position} has no rectangle")
        left, top, _, bottom = answer["rect"]
        return left + 40, top + int((bottom - top) * fraction)

    def press_and_drag(self, start, path):
        """Presses the left button at start and moves it in small steps through the points of
        path, as a hand does; the button stays down."""
        self.xdotool("mousemove", "--sync", *map(str, start))
        self.xdotool("mousedown", "1")
        x, y = start
        for to_x, to_y in path:
            steps = max(1, max(abs(to_x - x), abs(to_y - y)) // 4)
            for step in range(1, steps + 1):
                self.xdotool("mousemove", "--sync", str(x + (to_x - x) * step // steps),
                             str(y + (to_y - y) * step // steps))
            x, y = to_x, to_y

    def wait_menu(self):
        """Waits for a context menu of the program; returns its rectangle."""
        return self.wait(lambda: next((d["rect"] for d in self.dialogs()
                                       if d["class"] == "#32768"), None), "the context menu")

    def click_close_button(self, window=None):
        """The close button of the caption that Wine draws itself for unmanaged windows: of the
        main window, or of the window at the rectangle window."""
        main = self.ask("main")
        left, top, right, _ = window or main["window"]
        border = main["client"][0] - main["window"][0]
        caption = main["client"][1] - main["window"][1] - border
        self.click_at(right - border - main["captionButton"] // 2, top + border + caption // 2)

    def shown_pointer(self):
        """Size and hotspot of the pointer the display shows now."""
        if self.pointer_image is None:
            self.pointer_image = xcursor.PointerImage(self.env["DISPLAY"])
        return self.pointer_image.shown()

    def expect_pointer(self, point, expected, what, timeout=3, hold=0.5):
        """Moves the mouse to point (None: leaves it resting where it is) and waits until the
        display shows the expected pointer and keeps showing it for hold seconds: a pointer that
        flickers back is not the one shown."""
        if point:
            self.xdotool("mousemove", "--sync", str(point[0]), str(point[1]))
        shown = None
        since = None

        def probe():
            nonlocal shown, since
            shown = self.shown_pointer()
            if shown != expected:
                since = None
                return False
            since = since or time.monotonic()
            return time.monotonic() - since >= hold

        try:
            self.wait(probe, f"the pointer over {what}", timeout, interval=0.05)
        except StepFailed:
            raise StepFailed(f"over {what} the display shows the pointer {xcursor.describe(shown)}"
                             f", expected {xcursor.describe(expected)} to stay")

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text, secret=False):
        """Types text; a secret one from xdotool's standard input, so it stands on no command
        line."""
        # xdotool drops characters outside Latin at short delays: it remaps a key for each.
        delay = "25" if all(ord(c) < 0x80 for c in text) else "120"
        if secret:
            subprocess.run(["xdotool", "type", "--delay", delay, "--file", "-"], env=self.env,
                           input=text.encode(), check=True)
        else:
            self.xdotool("type", "--delay", delay, "--", text)

    def pick_files(self, folder, names):
        """Picks names of folder in the open dialog that "Add PDF File(s)" shows."""
        self.click_control(CHECK1_ADD_FILES)
        self.choose_files(folder, names)

    def choose_files(self, folder, names):
        """Picks names of folder in the open dialog, by keys."""
        self.wait_dialog(OPEN_TITLE)
        time.sleep(0.3)
        self.shot("open-dialog")
        self.type_in_dialog(OPEN_TITLE, unix_to_wine(folder))
        self.key("Return")
        # The dialog moves to the folder; the name box is ready again shortly after.
        time.sleep(0.7)
        self.type_in_dialog(OPEN_TITLE, " ".join(f'"{name}"' for name in names))
        self.key("Return")
        self.wait_dialog_closed(OPEN_TITLE)

    def type_in_dialog(self, title, text):
        """Types text into the focused box of the dialog, and again until the box holds it all:
        on a loaded machine xdotool now and then drops a character it has to remap."""
        def holds_it():
            return any(c["class"] == "Edit" and c["text"] == text
                       for c in (self.dialog(title) or {}).get("controls", []))

        for attempt in range(3):
            if attempt > 0:
                self.key("ctrl+a", "BackSpace")
            self.type(text)
            # The keys are still on their way when xdotool returns.
            deadline = time.monotonic() + 2
            while time.monotonic() < deadline:
                if holds_it():
                    return
                time.sleep(0.1)

    def answer_save(self, path, wait_closed=True):
        """Names the output file in the save dialog of "Join!" (path as typed: a Unix path is
        typed as its Z: path)."""
        self.wait_dialog(SAVE_TITLE)
        time.sleep(0.3)
        self.shot("save-dialog")
        self.key("Home", "shift+End")
        self.type_in_dialog(SAVE_TITLE, unix_to_wine(path) if path.startswith("/") else path)
        self.key("Return")
        if wait_closed:
            self.wait_dialog_closed(SAVE_TITLE)

    def choose_folder(self, folder):
        """Walks the folder picker's tree from "/" to folder with the keys a person would use."""
        self.wait_dialog(FOLDER_TITLE)
        time.sleep(0.5)
        self.shot("folder-picker")
        # From OK to the tree, up to Desktop, down to "/", and open it.
        self.key("shift+Tab", "Home", "Down", "Right")
        for part in os.path.abspath(folder).strip("/").split("/"):
            # The tree's type-ahead starts afresh only after a pause.
            time.sleep(0.7)
            self.type(part)
            self.key("Right")
        time.sleep(0.5)
        self.shot("folder-chosen")
        self.key("Return")
        self.wait_dialog_closed(FOLDER_TITLE)

    def answer_message(self, timeout=60):
        """Waits for a message box, reads its text, answers OK with Enter; returns the text."""
        box = self.wait_dialog(MESSAGE_TITLE, timeout)
        self.shot("message")
        self.key("Return")
        self.wait_dialog_closed(MESSAGE_TITLE)
        return box["text"]

    # The end.

    def close(self):
        if self.pointer_image:
            self.pointer_image.close()
        if self.inspector:
            self.inspector.close()
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        # Ends whatever still runs in this session's own prefix (a stand-in tool, say).
        subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.log.close()
        shutil.rmtree(self.work, ignore_errors=True)


def run(build, scenario, body, prepare=None):
    """Runs one scenario; returns the process exit code and says what happened. prepare, when
    given, sets the session up before the program starts (its own application folder, say)."""
    session = None
    try:
        session = Session(build, scenario)
        if prepare:
            with session.step("prepare the application folder"):
                prepare(session)
        session.start()
        body(session)
        session.say(f"PASSED (screenshots in {session.shots})")
        return 0
    except StepFailed as failure:
        where = session.current_step if session else "set-up"
        shot = session.shot("FAILED") if session else None
        print(f"[{scenario}] FAILED at step '{where}': {failure}", file=sys.stderr, flush=True)
        if shot:
            print(f"[{scenario}] screenshot of the failure: {shot}", file=sys.stderr, flush=True)
        return EXIT_FAILED
    finally:
        if session:
            session.close()
