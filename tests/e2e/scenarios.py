"""The end-to-end scenarios: what a user does with Folianto, checked from outside the program.

Usage: scenarios.py BUILD_DIR SCENARIO      (run it through run-scenario.sh, which gives it a
display of its own). BUILD_DIR is the Windows build folder."""

import contextlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import driver  # noqa: E402
import xcursor  # noqa: E402
from driver import (CHECK1_ADD_FILES, CHECK2_JOIN, CHECK3_MOVE_UP, CHECK4_ADD_FOLDER,  # noqa: E402
                    COMMAND1, LABEL1, LISTVIEW1, PICTURE_BUTTONS, PROGRESSBAR1, StepFailed,
                    center, unix_to_wine)
from samplepdf import write_pdf  # noqa: E402

# How long a click takes at most to bring up its dialog.
FEATURE_TIMEOUT = 15
# Closing the window must hide it at once; this leaves room for a loaded machine.
CLOSE_TIMEOUT = 3.0


def entries(folder, names):
    return [unix_to_wine(folder) + "\\" + name for name in names]


def page_texts(pdf):
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True,
                          text=True).stdout
    pages = text.split("\f")
    if pages and not pages[-1].strip():
        pages.pop()
    return [page.strip() for page in pages]


def page_count(pdf):
    result = subprocess.run(["qpdf", "--show-npages", pdf], capture_output=True, text=True)
    if result.returncode != 0:
        raise StepFailed(f"qpdf cannot read {pdf}: {result.stderr.strip()}")
    return int(result.stdout.strip())


WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def check_captions_read(s, name, face):
    """On the screen, every caption and the label stand out from their face by 4.5:1, as does the
    text of the list's header; the faces, the label and the background have the colour face."""
    screen = s.screen(name)
    areas = []
    for button in PICTURE_BUTTONS:
        # The lowest 17 pixels inside a button's edges hold its caption, below its picture.
        left, _, right, bottom = s.controls[button]["rect"]
        areas.append((f"the caption of button {button}", (left + 4, bottom - 20, right - 4,
                                                          bottom - 3), face))
    areas.append(("the label", s.controls[LABEL1]["rect"], face))
    left, top, _, bottom = s.ask("listparts")["header"]
    areas.append(("the list's header", (left + 4, top + 3, left + 72, bottom - 3), None))
    for what, area, expected in areas:
        background, text, ratio = screen.text_on_face(area)
        s.check(ratio >= 4.5, f"{what}: {text} on {background} reads at {ratio:.2f}:1")
        s.check(expected in (None, background), f"{what} stands on {background}, not {face}")
    shown = screen.pixel(*background_point(s))
    s.check(shown == face, f"the window's background is {shown}, not {face}")


def check_start_state(s):
    with s.step("the window opens empty, with the focus on Command1"):
        state = s.state()
        s.check(s.main["caption"] == "Folianto", f"caption is {s.main['caption']!r}")
        s.check(state["items"] == [], f"list is not empty: {state['items']}")
        s.check(state["progress"] == 0, f"progress is {state['progress']}")
        focus = state["focus"]
        s.check(focus and focus["id"] == COMMAND1, f"focus is on {focus}")
    with s.step("in the default colours the faces are white and every caption reads"):
        check_captions_read(s, "default-colours", WHITE)


def add_three(s, folder):
    names = ["one.pdf", "two.pdf", "three.pdf"]
    write_pdf(os.path.join(folder, "one.pdf"), ["Part one"])
    write_pdf(os.path.join(folder, "two.pdf"), ["Part two, page 1", "Part two, page 2"])
    write_pdf(os.path.join(folder, "three.pdf"), ["Part three"])
    with s.step("add three PDF files in one pick from the open dialog"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
        s.shot("three-added")
    return names


def start_join(s, output, replace=False):
    """Clicks "Join!" and names the output file in the save dialog; replace: it exists, and the
    dialog's question whether to replace it is answered yes."""
    s.check(os.path.exists(os.path.join(s.app_folder, "pdftk.exe")),
            f"no pdftk.exe in {s.app_folder}: the pdftk bridge is not built")
    s.click_control(CHECK2_JOIN)
    s.wait_dialog(driver.SAVE_TITLE, timeout=FEATURE_TIMEOUT)
    s.answer_save(output, wait_closed=not replace)
    if replace:
        s.wait(lambda: (s.dialog(driver.SAVE_TITLE) or {}).get("text"), "the replace question")
        s.key("y")


def join_three(s):
    check_start_state(s)
    folder = os.path.join(s.work, "input files")
    add_three(s, folder)
    one, two, three = entries(folder, ["one.pdf", "two.pdf", "three.pdf"])

    with s.step("select the third entry and click Move Up"):
        s.click_entry(3)
        s.wait(lambda: s.state()["selected"] == 3, "entry 3 to be selected")
        s.click_control(CHECK3_MOVE_UP)
        s.wait_items([one, three, two])
    with s.step("select the moved entry again and click Move Up once more"):
        s.click_entry(2)
        s.wait(lambda: s.state()["selected"] == 2, "entry 2 to be selected")
        s.click_control(CHECK3_MOVE_UP)
        s.wait_items([three, one, two])
        s.shot("moved-to-top")

    output_folder = os.path.join(s.work, "joined output")
    os.makedirs(output_folder)
    output = os.path.join(output_folder, "All three parts.pdf")
    with s.step('click "Join!" and name an output path with spaces'):
        start_join(s, output)
    with s.step('answer "Join successful."'):
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        s.wait(lambda: s.state()["progress"] == 0, "the progress bar back at 0")
        s.shot("joined")
    with s.step("check the joined file: page count and page order"):
        s.check(os.path.exists(output), f"no output file {output}")
        count = page_count(output)
        s.check(count == 4, f"the joined file has {count} pages, expected 4")
        pages = page_texts(output)
        expected = ["Part three", "Part one", "Part two, page 1", "Part two, page 2"]
        s.check(pages == expected, f"pages read {pages}, expected {expected}")
        s.check(s.items() == [three, one, two], "the join changed the list")
        kept = os.path.join(s.shots, "joined.pdf")
        shutil.copyfile(output, kept)
        s.say(f"joined PDF: {kept} ({count} pages: {', '.join(pages)})")


def add_folder(s):
    tree = os.path.join(s.work, "tree")
    files = {
        "top.pdf": True,
        "Second.PDF": True,
        ".hidden-file.pdf": True,  # hidden under Wine, and hidden files are added
        "~$lock.pdf": False,
        "notes.txt": False,
        "alpha/a.pdf": True,
        "alpha/deep/d.pdf": True,
        "alpha/deep/deeper/e.pdf": True,
        "beta/b.pdf": True,
        "beta/~temp.pdf": False,
        ".hidden-folder/h.pdf": False,  # a hidden folder is not walked
        ".hidden-folder/inner/i.pdf": False,
    }
    for relative in files:
        write_pdf(os.path.join(tree, relative), [relative])
    os.makedirs(os.path.join(tree, "empty"))

    root = unix_to_wine(tree)
    # Level by level; within a level the order of the directory search, so each level is
    # compared as a set and the levels in order.
    levels = [
        {"top.pdf", "Second.PDF", ".hidden-file.pdf"},
        {"alpha\\a.pdf", "beta\\b.pdf"},
        {"alpha\\deep\\d.pdf"},
        {"alpha\\deep\\deeper\\e.pdf"},
    ]
    with s.step('click "Add All PDF File(s) In Folder"'):
        s.click_control(CHECK4_ADD_FOLDER)
        s.wait_dialog(driver.FOLDER_TITLE, timeout=FEATURE_TIMEOUT)
        dialog = s.dialog(driver.FOLDER_TITLE)
        s.check(dialog is not None, "the folder picker closed by itself")
    with s.step("choose the tree in the folder picker"):
        s.choose_folder(tree)
    with s.step("check the entries and their order"):
        expected_count = sum(len(level) for level in levels)
        s.wait(lambda: len(s.items()) >= expected_count, f"{expected_count} entries")
        got = s.items()
        s.shot("folder-added")
        s.check(len(got) == expected_count, f"{len(got)} entries: {got}")
        relative = []
        for entry in got:
            s.check(entry.startswith(root + "\\"), f"entry {entry} is not under {root}")
            relative.append(entry[len(root) + 1:])
        position = 0
        for depth, level in enumerate(levels):
            part = set(relative[position:position + len(level)])
            s.check(part == level, f"level {depth} holds {sorted(part)}, expected "
                    f"{sorted(level)}; all entries: {relative}")
            position += len(level)
    with s.step("adding the same folder again adds every file twice"):
        s.click_control(CHECK4_ADD_FOLDER)
        s.choose_folder(tree)
        s.wait(lambda: len(s.items()) >= 2 * expected_count, f"{2 * expected_count} entries")
        again = s.items()
        s.check(again == got + got, f"the second walk gave {again[len(got):]}")
        s.shot("folder-added-twice")


def remove_by_double_click(s):
    folder = os.path.join(s.work, "input")
    add_three(s, folder)
    one, two, three = entries(folder, ["one.pdf", "two.pdf", "three.pdf"])
    with s.step("double-click the second entry"):
        s.click_entry(2, double=True)
        s.wait_items([one, three])
        s.shot("second-removed")
    with s.step("double-click the empty area below the entries: nothing is removed"):
        _, _, right, bottom = s.ask("itemrect 2")["rect"]
        list_bottom = s.controls[driver.LISTVIEW1]["rect"][3]
        s.check(list_bottom - bottom > 20, "no empty area below the entries")
        s.click_at(s.ask("itemrect 2")["rect"][0] + 40, (bottom + list_bottom) // 2, double=True)
        # Nothing to wait for when nothing must happen; a moment is enough for a removal to show.
        time.sleep(1.0)
        s.check(s.items() == [one, three], f"entries are now {s.items()}")
    with s.step("double-click the first entry"):
        s.click_entry(1, double=True)
        s.wait_items([three])
        s.shot("first-removed")


def join_missing_input(s):
    folder = os.path.join(s.work, "input")
    names = ["present.pdf", "missing.pdf"]
    write_pdf(os.path.join(folder, names[0]), ["Present"])
    write_pdf(os.path.join(folder, names[1]), ["Missing"])
    with s.step("add two PDF files"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
    os.remove(os.path.join(folder, "missing.pdf"))
    output = os.path.join(s.work, "out put", "joined.pdf")
    os.makedirs(os.path.dirname(output))
    with s.step('click "Join!" after one input file was deleted'):
        start_join(s, output)
    with s.step("the failure message shows pdftk's own text"):
        text = s.answer_message()
        s.check(text.startswith("The join failed: pdftk.exe ended with exit code "),
                f"the message says {text!r}")
        s.check("\n\n" in text and "missing.pdf" in text,
                f"the message has no text of pdftk's about missing.pdf: {text!r}")
        s.say("message: " + text.replace("\r", "").replace("\n", " | "))
    with s.step("no success message follows, and no output is written"):
        s.wait(lambda: s.state()["progress"] == 0, "the progress bar back at 0")
        time.sleep(0.5)
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a second message box came up")
        s.check(not os.path.exists(output), f"an output file was written: {output}")
        s.check(s.items() == entries(folder, names), "the join changed the list")


def join_26_refused(s):
    folder = os.path.join(s.work, "many")
    # One-letter names keep the typed selection short.
    names = [f"{chr(ord('a') + i)}.pdf" for i in range(26)]
    for name in names:
        write_pdf(os.path.join(folder, name), [name])
    with s.step("add 26 PDF files in one pick"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
        s.shot("26-added")
    output = os.path.join(s.work, "out", "all 26.pdf")
    os.makedirs(os.path.dirname(output))
    with s.step('click "Join!" and name the output file'):
        start_join(s, output)
    with s.step('"You can only join 25 files at a time." and nothing run'):
        text = s.answer_message()
        s.check(text == "You can only join 25 files at a time.", f"the message says {text!r}")
        time.sleep(0.5)
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a second message box came up")
        s.check(not os.path.exists(output), f"an output file was written: {output}")
        s.check(s.items() == entries(folder, names), "the list changed")


def prepare_slow_tool(s):
    """The program's copy in a folder of its own, with the slow stand-in as its pdftk.exe."""
    app = os.path.join(s.work, "slow app")
    os.makedirs(app)
    shutil.copy2(os.path.join(s.bin, "folianto.exe"), app)
    tool = os.path.join(s.build, "e2e-slow-tool", "pdftk.exe")
    if not os.path.exists(tool):
        raise StepFailed(f"{tool} is not built")
    shutil.copy2(tool, app)
    s.app_folder = app


def close_during_slow_join(s):
    folder = os.path.join(s.work, "input")
    names = ["one.pdf", "two.pdf"]
    for name in names:
        write_pdf(os.path.join(folder, name), [name])
    started = os.path.join(s.app_folder, "slow-tool-started")
    output = os.path.join(s.work, "joined.pdf")
    with s.step("add two PDF files"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
    with s.step('click "Join!" and name the output file'):
        start_join(s, output)
    with s.step("the slow tool runs while the window waits, in the program's own folder"):
        s.wait(lambda: os.path.exists(started), "the slow tool to start")
        # The open dialog left the program's current folder in the input folder.
        current = marks(started)[0]
        s.check(current == unix_to_wine(s.app_folder), f"the tool runs in {current!r}")
        state = s.state()
        s.check(state["progress"] == 100, f"progress is {state['progress']} during the join")
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a message box came up during the join")
        s.shot("join-waiting")
    with s.step("close the window: it goes at once, and the program ends after the tool"):
        close_and_wait_for_the_tools(s, 1)
    with s.step("the tool was not stopped: the joined file holds both inputs"):
        joined = b"".join(pathlib.Path(folder, name).read_bytes() for name in names)
        s.check(pathlib.Path(output).read_bytes() == joined, "the output lacks the joined bytes")


def marks(path):
    """The lines the slow tool added to one of its mark files, one per run."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def close_and_wait_for_the_tools(s, tools):
    """Clicks the close button while the slow tools run: the window goes at once, the program
    ends only after all of its tools, and shows no message on the way."""
    finished = os.path.join(s.app_folder, "slow-tool-finished")
    s.check(len(marks(finished)) == 0, "a tool had already finished: it is not slow enough")
    s.click_close_button()
    s.wait(lambda: not s.ask("main").get("visible"), "the window to go", timeout=CLOSE_TIMEOUT,
           interval=0.05)
    s.check(not s.program_ended() and len(marks(finished)) == 0,
            "folianto.exe did not wait for its tools")
    s.shot("window-gone")

    def ended_silently():
        s.check(not s.dialogs(), f"a window came up after the close: {s.dialogs()}")
        return s.program_ended()

    s.wait(ended_silently, "folianto.exe to end after its tools", timeout=60)
    s.check(len(marks(finished)) == tools, f"folianto.exe ended before its {tools} tools")
    s.check(s.program.returncode == 0, f"folianto.exe ended with {s.program.returncode}")


def close_during_joins_outside_the_code_page(s):
    """Two nested joins into Greek names, so each tool writes a temporary file first; the window
    is closed while both tools run, and the program ends silently after them. Then once more with
    a tool that fails, which is said."""
    folder = os.path.join(s.work, "input")
    names = ["one.pdf", "two.pdf"]
    for name in names:
        write_pdf(os.path.join(folder, name), [name])
    joined = b"".join(pathlib.Path(folder, name).read_bytes() for name in names)
    output_folder = os.path.join(s.work, "output")
    os.makedirs(output_folder)
    outputs = ["\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf",
               "\u0394\u03b5\u03cd\u03c4\u03b5\u03c1\u03bf.pdf"]
    started = os.path.join(s.app_folder, "slow-tool-started")
    finished = os.path.join(s.app_folder, "slow-tool-finished")

    with s.step("add two PDF files"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
    with s.step(f'join them into {outputs[0]}, and while that runs into {outputs[1]}'):
        start_join(s, os.path.join(output_folder, outputs[0]))
        s.wait(lambda: len(marks(started)) == 1, "the first tool to start")
        start_join(s, os.path.join(output_folder, outputs[1]))
        s.wait(lambda: len(marks(started)) == 2, "the second tool to start")
    with s.step("close the window: it goes at once, and the program ends after both tools"):
        close_and_wait_for_the_tools(s, 2)
    with s.step("both joined files stand under their names, and no temporary file is left"):
        s.check(sorted(os.listdir(output_folder)) == sorted(outputs),
                f"the output folder holds {os.listdir(output_folder)}")
        for output in outputs:
            s.check(pathlib.Path(output_folder, output).read_bytes() == joined,
                    f"{output} does not hold the joined bytes")

    for mark in (started, finished):
        os.remove(mark)
    s.env["FOLIANTO_SLOW_TOOL_EXIT"] = "1"
    # One join only, so less time is needed to close the window in.
    s.env["FOLIANTO_SLOW_TOOL_MS"] = "15000"
    s.start_program()
    failed = "\u0391\u03c0\u03bf\u03c4\u03c5\u03c7\u03af\u03b1.pdf"
    with s.step(f"once more with a tool that fails: join into {failed} and close the window"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
        start_join(s, os.path.join(output_folder, failed))
        s.wait(lambda: len(marks(started)) == 1, "the tool to start")
        s.click_close_button()
    with s.step("the failure is said after the window has gone, and in the exit code"):
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=60)
        s.check(box["text"] == f"The join into {unix_to_wine(os.path.join(output_folder, failed))}"
                ":\n\nThe join failed: pdftk.exe ended with exit code 1.",
                f"the box says {box['text']!r}")
        click_ok(s, box)
        s.wait(s.program_ended, "folianto.exe to end after the box")
        s.check(s.program.returncode == 1, f"folianto.exe ended with {s.program.returncode}")
    with s.step("neither the failed output nor a temporary file is left"):
        s.check(sorted(os.listdir(output_folder)) == sorted(outputs),
                f"the output folder holds {os.listdir(output_folder)}")


def click_ok(s, box):
    """Clicks the OK button of a message box, as a person does when nothing has the focus."""
    button = next(c for c in box["controls"] if c["class"] == "Button" and c["text"] == "OK")
    s.click_at(*center(button["rect"]))


def prepare_slow_join(s):
    """The slow stand-in, slow enough to close the window, or start Folianto again, while it runs."""
    prepare_slow_tool(s)
    s.env["FOLIANTO_SLOW_TOOL_MS"] = "20000"


def join_two_slowly(s, output, replace=False):
    """Adds two files and joins them into output; returns the inputs' joined bytes once the slow
    tool runs."""
    folder = os.path.join(s.work, "input")
    names = ["one.pdf", "two.pdf"]
    for name in names:
        write_pdf(os.path.join(folder, name), [name])
    s.pick_files(folder, names)
    s.wait_items(entries(folder, names))
    start_join(s, output, replace)
    started = os.path.join(s.app_folder, "slow-tool-started")
    s.wait(lambda: len(marks(started)) == 1, "the slow tool to start")
    return b"".join(pathlib.Path(folder, name).read_bytes() for name in names)


def close_during_join_into_held_file(s):
    """The output, held open by a viewer, cannot take the joined file: a box on top of the other
    windows says that the join is kept under a temporary name. Folianto is ended (as End task
    ends it) while that box is up, and started again: the kept file stays."""
    output = os.path.join(s.work, "\u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.pdf")
    old = b"%PDF-1.4\n% the file a viewer shows\n"
    pathlib.Path(output).write_bytes(old)
    with s.step("a viewer holds the output file open without sharing it"):
        s.check(s.ask(f"hold {unix_to_wine(output)}")["held"], "the file could not be held")
    with s.step("join two files into it and close the window while the tool runs"):
        joined = join_two_slowly(s, output, replace=True)
        s.click_close_button()
        s.wait(lambda: not s.ask("main").get("visible"), "the window to go", timeout=CLOSE_TIMEOUT)
    with s.step("after the tool, a box on top of the other windows says what became of the join"):
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=60)
        kept = [name for name in os.listdir(s.work) if name.startswith("folianto-")]
        s.check(len(kept) == 1 and kept[0].endswith(".tmp"), f"the work folder holds {kept}")
        # Why, in the system's words: the file is in use by another program.
        said = re.fullmatch(
            re.escape(f"The join into {unix_to_wine(output)}:\n\nThe files were joined, but the "
                      f"joined file could not be named {unix_to_wine(output)}") +
            r" \(system error 32: .+\)\. It is kept as " +
            re.escape(f"{unix_to_wine(os.path.join(s.work, kept[0]))}."), box["text"])
        s.check(said is not None, f"the box says {box['text']!r}")
        s.check(box["topmost"], "the box is not on top of the other windows")
    with s.step("Folianto ended while the box is up, and started again: the kept file stays"):
        s.program.kill()
        s.program.wait()
        s.ask("release")
        s.start_program()
        # What a start tidies up goes once the window is there.
        time.sleep(3)
        s.check(pathlib.Path(output).read_bytes() == old, "the held file was changed")
        s.check(pathlib.Path(s.work, kept[0]).read_bytes() == joined, "the kept file is gone")


def second_folianto_refused(s):
    """A closed Folianto goes on with its join; a second one started meanwhile refuses to join into
    the same file, and only the first tool ever runs. Then a Folianto is ended (as End task ends
    it) while its tool writes: another refuses that file until the tool has ended, then joins."""
    output = os.path.join(s.work, "joined.pdf")
    started = os.path.join(s.app_folder, "slow-tool-started")
    finished = os.path.join(s.app_folder, "slow-tool-finished")
    refusal = (f"The file {unix_to_wine(output)} is in use by a join that is still running. "
               "Nothing was joined.")
    with s.step("join two files and close the window while the tool runs"):
        joined = join_two_slowly(s, output)
        first = s.program
        s.click_close_button()
        s.wait(lambda: not s.ask("main").get("visible"), "the window to go", timeout=CLOSE_TIMEOUT)
    s.start_program()
    folder = os.path.join(s.work, "input")
    with s.step("a second Folianto refuses a join into the same file"):
        s.check(first.poll() is None, "the first Folianto ended before its tool")
        s.pick_files(folder, ["two.pdf"])
        s.wait_items(entries(folder, ["two.pdf"]))
        start_join(s, output)
        text = s.answer_message()
        s.check(text == refusal, f"the message says {text!r}")
    with s.step("the first join ends and writes the file; no other tool ran"):
        first.wait(timeout=60)
        s.check(first.returncode == 0, f"the first Folianto ended with {first.returncode}")
        s.check(len(marks(started)) == 1, "a second tool ran")
        s.check(pathlib.Path(output).read_bytes() == joined, "the joined file is wrong")
    with s.step("this Folianto joins into it again, and is ended while its tool writes"):
        start_join(s, output, replace=True)
        s.wait(lambda: len(marks(started)) == 2, "the slow tool to start")
        s.program.kill()
        s.program.wait()
    # The next Folianto's tool is quick.
    s.env["FOLIANTO_SLOW_TOOL_LATER_MS"] = "3000"
    s.start_program()
    with s.step("while the ended Folianto's tool still writes, another refuses that file"):
        s.pick_files(folder, ["two.pdf"])
        s.wait_items(entries(folder, ["two.pdf"]))
        start_join(s, output, replace=True)
        text = s.answer_message()
        s.check(text == refusal and len(marks(finished)) == 1, f"the message says {text!r}")
    with s.step("once the tool has ended, it joins"):
        s.wait(lambda: len(marks(finished)) == 2, "the tool to end", timeout=60)
        start_join(s, output, replace=True)
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        s.check(pathlib.Path(output).read_bytes() == pathlib.Path(folder, "two.pdf").read_bytes(),
                "the joined file is wrong")


def killed_join_leaves_nothing(s):
    """Folianto is killed (a crash, End task) while its tool writes a joined file under a
    temporary name. A start while the tool still runs leaves that file alone; a start after it
    removes it, and nothing else."""
    output_folder = os.path.join(s.work, "output")
    os.makedirs(output_folder)
    finished = os.path.join(s.app_folder, "slow-tool-finished")

    def left():
        return sorted(os.listdir(output_folder))

    def restart():
        s.program.kill()
        s.program.wait()
        s.start_program()

    with s.step("join two files into a Greek name, and kill Folianto while the tool runs"):
        join_two_slowly(s, os.path.join(output_folder, "\u0388\u03bd\u03c9\u03c3\u03b7.pdf"))
        temporary = left()
        s.check(len(temporary) == 1 and temporary[0].startswith("folianto-"),
                f"the output folder holds {temporary}")
        inputs = {name: pathlib.Path(s.work, "input", name).read_bytes()
                  for name in ["one.pdf", "two.pdf"]}
        restart()
    with s.step("started again while the tool runs: what the tool writes is left alone"):
        s.check(left() == temporary and not marks(finished), "the tool's file went too soon")
    with s.step("started again after the tool: what the killed join made is gone, nothing else"):
        s.wait(lambda: marks(finished), "the tool to end", timeout=60)
        restart()
        s.wait(lambda: not left(), f"the output folder to be empty, not {left()}", timeout=5)
        for name, content in inputs.items():
            s.check(pathlib.Path(s.work, "input", name).read_bytes() == content,
                    f"{name} was changed")


def prepare_nested_joins(s):
    """The slow stand-in with the hand pointer: the first join takes 45 s, every later one 3 s."""
    prepare_pointer_app(s)
    s.env.update(FOLIANTO_SLOW_TOOL_MS="45000", FOLIANTO_SLOW_TOOL_LATER_MS="3000")


def nested_joins(s):
    """While a join waits, joins that would write or read its files are refused; one that does not
    runs, and the hourglass stays after it until the first join has ended."""
    folder = os.path.join(s.work, "input")
    one, two = (os.path.join(folder, name) for name in ["one.pdf", "two.pdf"])
    write_pdf(one, ["one"])
    write_pdf(two, ["two"])
    output = os.path.join(s.work, "joined.pdf")
    pathlib.Path(output).write_bytes(b"%PDF-1.4\n% an older join, to be replaced\n")
    started = os.path.join(s.app_folder, "slow-tool-started")
    finished = os.path.join(s.app_folder, "slow-tool-finished")
    button = center(s.controls[CHECK3_MOVE_UP]["rect"])  # beside any message box
    at_once = {"timeout": 1.0, "hold": 0.5}

    def join(path, refused_for=None):
        s.click_control(CHECK2_JOIN)
        s.answer_save(path, wait_closed=False)
        if os.path.exists(path):
            s.wait(lambda: (s.dialog(driver.SAVE_TITLE) or {}).get("text"), "the replace question")
            s.key("y")
        if refused_for:
            text = s.answer_message()
            s.check(text == f"The file {unix_to_wine(refused_for)} is in use by a join that is "
                    "still running. Nothing was joined.", f"the message says {text!r}")

    with s.step("join two files into an existing file; its tool runs"):
        s.pick_files(folder, ["one.pdf", "two.pdf"])
        s.wait_items(entries(folder, ["one.pdf", "two.pdf"]))
        join(output)
        s.wait(lambda: len(marks(started)) == 1, "the tool to start")
    with s.step("a join into the same file is refused"):
        join(output, refused_for=output)
    with s.step("a join into a file that the running join reads is refused"):
        s.click_entry(1, double=True)
        s.wait_items(entries(folder, ["two.pdf"]))
        join(one, refused_for=one)
    with s.step("a join of the file that the running join writes is refused"):
        s.pick_files(s.work, ["joined.pdf"])
        s.wait_items(entries(folder, ["two.pdf"]) + [unix_to_wine(output)])
        join(os.path.join(s.work, "other.pdf"), refused_for=output)
    with s.step("a join of other files runs and ends first: the hourglass stays"):
        s.click_entry(2, double=True)
        s.wait_items(entries(folder, ["two.pdf"]))
        join(os.path.join(s.work, "nested.pdf"))
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=30)
        s.check(box["text"] == "Join successful.", f"the message says {box['text']!r}")
        s.expect_pointer(button, xcursor.HOURGLASS, "a button beside the message", **at_once)
        s.key("Return")
        s.wait_dialog_closed(driver.MESSAGE_TITLE)
        s.check(len(marks(finished)) == 1, "the first join ended too soon to show anything")
        s.expect_pointer(None, xcursor.HOURGLASS, "the button, the mouse resting", **at_once)
        s.expect_pointer(background_point(s), xcursor.HOURGLASS, "the background", **at_once)
    with s.step("the first join ends: the arrow, then the hand over a button"):
        text = s.answer_message(timeout=60)
        s.check(text == "Join successful.", f"the message says {text!r}")
        s.expect_pointer(None, xcursor.ARROW, "the background, the mouse resting", **at_once)
        s.expect_pointer(button, hand_shape(s), "the button", **at_once)
    with s.step("each file holds what its join wrote, and nothing else was written"):
        read = [pathlib.Path(path).read_bytes() for path in [one, two, output]]
        s.check(read[2] == read[0] + read[1], "the first join's file lacks its bytes")
        s.check(pathlib.Path(s.work, "nested.pdf").read_bytes() == read[1], "nested.pdf is wrong")
        s.check(page_texts(one) == ["one"], "the file that the first join read was changed")
        held = sorted(os.listdir(s.work))
        s.check(held == ["input", "joined.pdf", "nested.pdf", "slow app", "wineprefix"],
                f"the work folder holds {held}")


def prepare_slow_tool_for_nested_joins(s):
    """The slow stand-in, slow enough for two joins named in Greek, typed letter by letter."""
    prepare_slow_tool(s)
    s.env["FOLIANTO_SLOW_TOOL_MS"] = "25000"


def background_point(s):
    """A point of the window's own white background: between the list and the big buttons."""
    left, top, _, _ = s.main["client"]
    return (left + 300, top + 132)


def hand_shape(s):
    return xcursor.cursor_file_shape(os.path.join(s.app_folder, "HAND-M.CUR"))


def prepare_pointer_app(s):
    """The program with HAND-M.CUR and the slow stand-in as its pdftk.exe, taking 12 s a join."""
    prepare_slow_tool(s)
    shutil.copy2(os.path.join(s.bin, "HAND-M.CUR"), s.app_folder)
    s.env["FOLIANTO_SLOW_TOOL_MS"] = "12000"


def pointer_feedback(s):
    hand = hand_shape(s)
    s.check(hand != xcursor.ARROW, "HAND-M.CUR looks like the arrow")
    buttons = [center(s.controls[button]["rect"]) for button in PICTURE_BUTTONS]
    with s.step("the hand over each picture button"):
        for button, point in zip(PICTURE_BUTTONS, buttons):
            s.expect_pointer(point, hand, f"button {button}")
    with s.step("the arrow over the list and over the background"):
        s.expect_pointer(center(s.controls[LISTVIEW1]["rect"]), xcursor.ARROW, "the list")
        s.expect_pointer(background_point(s), xcursor.ARROW, "the background")
    with s.step("from a button straight onto the label and the progress bar: the hand stays"):
        s.expect_pointer(buttons[0], hand, "Add PDF File(s)")
        s.expect_pointer(center(s.controls[LABEL1]["rect"]), hand, "the label")
        s.expect_pointer(center(s.controls[PROGRESSBAR1]["rect"]), hand, "the progress bar")
        s.expect_pointer(background_point(s), xcursor.ARROW, "the background")

    folder = os.path.join(s.work, "many")
    names = [f"{chr(ord('a') + i)}.pdf" for i in range(25)]
    for name in names:
        write_pdf(os.path.join(folder, name), [name])
    with s.step("add 25 files, so the list has a scroll bar"):
        s.xdotool("mousemove", "0", "0")
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
        parts = s.ask("listparts")
        s.check(parts["scrollBar"], "the list shows no scroll bar")
    started = os.path.join(s.app_folder, "slow-tool-started")
    places = [(point, f"button {button}") for button, point in zip(PICTURE_BUTTONS, buttons)]
    places += [(center(s.controls[LISTVIEW1]["rect"]), "the list"),
               (center(parts["header"]), "the list's header"),
               (center(parts["scrollBar"]), "the list's scroll bar"),
               (background_point(s), "the background"),
               (center(s.controls[LABEL1]["rect"]), "the label")]
    # As a person meets it: the pointer is right at once at each place, where it rests 0.5 s.
    at_once = {"timeout": 1.0, "hold": 0.5}
    with s.step('click "Join!", name the output file, and leave the mouse there'):
        start_join(s, os.path.join(s.work, "joined.pdf"))
        s.wait(lambda: os.path.exists(started), "the slow tool to start")
        s.expect_pointer(None, xcursor.HOURGLASS, '"Join!"', **at_once)
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=30)
        s.check(box["text"] == "Join successful.", f"the message says {box['text']!r}")
    with s.step("the message up: the hourglass over the rest of the window"):
        left, top, right, bottom = box["rect"]
        visible = [(point, what) for point, what in places
                   if not (left - 8 <= point[0] <= right + 8 and top - 8 <= point[1] <= bottom + 8)]
        s.check(len(visible) >= 2, f"the message box {box['rect']} covers the window")
        for point, what in visible:
            s.expect_pointer(point, xcursor.HOURGLASS, what + " beside the message box", **at_once)
        s.shot("hourglass-behind-message")
    with s.step("the message closed with Enter, the mouse resting on a button: the arrow"):
        button_point = next(p for p, what in visible if what.startswith("button"))
        s.expect_pointer(button_point, xcursor.HOURGLASS, "the button", **at_once)
        s.key("Return")
        s.wait_dialog_closed(driver.MESSAGE_TITLE)
        s.expect_pointer(None, xcursor.ARROW, "the button, the mouse resting", **at_once)
    with s.step("the mouse moves on the button: the hand"):
        s.expect_pointer((button_point[0] + 3, button_point[1] + 2), hand, "the button", **at_once)
    with s.step("join again: the hourglass over every part of the window while the tool runs"):
        os.remove(started)
        start_join(s, os.path.join(s.work, "joined again.pdf"))
        s.wait(lambda: os.path.exists(started), "the slow tool to start")
        for point, what in places:
            s.expect_pointer(point, xcursor.HOURGLASS, what, **at_once)
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "the join ended before all was seen: "
                "the tool is not slow enough")
        s.shot("hourglass")
        s.answer_message(timeout=30)


def keyboard_only(s):
    folder = os.path.join(s.work, "input")
    names = ["first.pdf", "second.pdf"]
    for name in names:
        write_pdf(os.path.join(folder, name), [name[:-4].title()])
    output = os.path.join(s.work, "output", "both.pdf")
    os.makedirs(os.path.dirname(output))

    def wait_focus(control, what):
        s.wait(lambda: (s.state()["focus"] or {}).get("id") == control, f"the focus on {what}")

    with s.step('Tab, Space, Escape in the open dialog: the focus is on "Add PDF File(s)"'):
        s.key("Tab")
        wait_focus(CHECK1_ADD_FILES, '"Add PDF File(s)"')
        s.key("space")
        s.wait_dialog(driver.OPEN_TITLE, timeout=FEATURE_TIMEOUT)
        time.sleep(0.3)
        s.key("Escape")
        s.wait_dialog_closed(driver.OPEN_TITLE)
        wait_focus(CHECK1_ADD_FILES, '"Add PDF File(s)" after the dialog')
    with s.step("Space again and pick two files"):
        s.key("space")
        s.choose_files(folder, names)
        s.wait_items(entries(folder, names))
    with s.step('Tab to "Join!", Space, name the output, Enter'):
        s.key("Tab")
        wait_focus(CHECK2_JOIN, '"Join!"')
        s.key("space")
        s.answer_save(output)
    with s.step('Enter closes "Join successful.": the focus is on "Join!" again'):
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        wait_focus(CHECK2_JOIN, '"Join!" after the message')
        s.check(page_texts(output) == ["First", "Second"], f"the pages read {page_texts(output)}")


def prepare_dark_scheme(s):
    def set_colours():
        # The colours live in the Wine server, which must outlive the helper.
        subprocess.run(["wineserver", "-p"], env=s.env, check=True)
        subprocess.run(["wine", os.path.join(s.bin, "e2e_dark_scheme.exe")], env=s.env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.before_program = set_colours


def dark_scheme(s):
    with s.step("started in a dark scheme: faces and label in its colours, every caption reads"):
        check_captions_read(s, "dark-scheme", BLACK)


def prepare_without_hand(s):
    app = os.path.join(s.work, "plain app")
    os.makedirs(app)
    shutil.copy2(os.path.join(s.bin, "folianto.exe"), app)
    s.app_folder = app


def pointer_without_hand(s):
    with s.step("without HAND-M.CUR: the arrow over every picture button"):
        for button in PICTURE_BUTTONS:
            s.expect_pointer(center(s.controls[button]["rect"]), xcursor.ARROW, f"button {button}")


SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE = 0xF020, 0xF030, 0xF120


def prepare_maximized_start(s):
    # A shortcut set to "Run: Maximized" starts the program like this.
    s.launch = ["start", "/wait", "/max", "/unix"]


def never_maximized(s):
    designed = s.ask("main")
    layout = {c: s.controls[c]["rect"] for c in s.controls}

    def check_unchanged(after):
        main = s.ask("main")
        s.check(not main["zoomed"], f"the window is maximised after {after}")
        left, top, right, bottom = main["client"]
        s.check((right - left, bottom - top) == (513, 242),
                f"client area {right - left} x {bottom - top} after {after}")
        s.check(main["window"] == designed["window"],
                f"the window moved to {main['window']} from {designed['window']} after {after}")
        now = {c["id"]: c["rect"] for c in s.ask("controls")["controls"]}
        s.check(now == layout, f"the controls moved after {after}: {now}")

    with s.step("started maximised, the window opens centred in its designed size"):
        check_unchanged("a maximised start")
        left, top, right, bottom = designed["window"]
        screen = s.ask("screen")
        s.check(abs(left + right - screen["width"]) <= 1 and abs(top + bottom - screen["height"]) <= 1,
                f"the window {designed['window']} is not centred on the screen {screen}")
        s.shot("started-maximised")
    with s.step("minimise and restore"):
        s.ask(f"syscommand {SC_MINIMIZE:x}")
        s.wait(lambda: s.ask("main")["iconic"], "the window to be minimised")
        s.ask(f"syscommand {SC_RESTORE:x}")
        s.wait(lambda: not s.ask("main")["iconic"], "the window to be restored")
        check_unchanged("minimise and restore")
    with s.step("SC_MAXIMIZE is refused"):
        s.ask(f"syscommand {SC_MAXIMIZE:x}")
        time.sleep(1.0)
        check_unchanged("SC_MAXIMIZE")
    with s.step("a double-click on the caption does not maximise"):
        left, top, right, _ = designed["window"]
        client_top = designed["client"][1]
        s.click_at((left + right) // 2, (top + client_top) // 2, double=True)
        time.sleep(1.0)
        check_unchanged("a double-click on the caption")
        s.shot("after-caption-double-click")


def save_dialog_protects_files(s):
    folder = os.path.join(s.work, "input")
    write_pdf(os.path.join(folder, "one.pdf"), ["Part one"])
    output_folder = os.path.join(s.work, "output")
    existing = os.path.join(output_folder, "existing.pdf")
    os.makedirs(output_folder)
    with open(existing, "wb") as f:
        f.write(b"%PDF-1.4\n% precious, must survive a No\n")
    before = open(existing, "rb").read()
    with s.step("add one PDF file"):
        s.pick_files(folder, ["one.pdf"])
        s.wait_items(entries(folder, ["one.pdf"]))

    def prompt():
        for dialog in s.dialogs():
            if dialog["title"] == driver.SAVE_TITLE and dialog["text"]:
                return dialog
        return None

    with s.step('name an existing file, answer "No", then Escape: nothing is joined'):
        s.click_control(CHECK2_JOIN)
        s.answer_save(existing, wait_closed=False)
        asked = s.wait(prompt, "the question whether to replace the file")
        s.check("already exists" in asked["text"], f"the question reads {asked['text']!r}")
        s.shot("replace-question")
        s.key("n")
        s.wait(lambda: prompt() is None, "the question to close")
        s.check(s.dialog(driver.SAVE_TITLE) is not None, '"No" did not go back to the dialog')
        s.key("Escape")
        s.wait_dialog_closed(driver.SAVE_TITLE)
        time.sleep(0.5)
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a message came up after the cancel")
        s.check(open(existing, "rb").read() == before, "the existing file was changed")
    with s.step('name it again and answer "Yes": it is joined'):
        s.click_control(CHECK2_JOIN)
        s.answer_save(existing, wait_closed=False)
        s.wait(prompt, "the question whether to replace the file")
        s.key("y")
        s.wait_dialog_closed(driver.SAVE_TITLE)
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        s.check(page_texts(existing) == ["Part one"], "the file does not hold the joined page")
    with s.step('a name typed without an ending gets ".pdf"'):
        s.click_control(CHECK2_JOIN)
        s.answer_save(os.path.join(output_folder, "merged"))
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        merged = os.path.join(output_folder, "merged.pdf")
        s.check(os.path.exists(merged), f"no {merged}; the folder holds {os.listdir(output_folder)}")
        s.check(not os.path.exists(os.path.join(output_folder, "merged")), "merged without .pdf")
        s.check(page_texts(merged) == ["Part one"], "merged.pdf does not hold the joined page")


def names_outside_the_code_page(s):
    folder = os.path.join(s.work, "input")
    names = ["\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.pdf", "\u65e5\u672c\u8a9e.pdf",
             "caf\u00e9.pdf"]
    for number, name in enumerate(names, 1):
        write_pdf(os.path.join(folder, name), [f"Part {number}"])
    output_folder = os.path.join(s.work, "output")
    os.makedirs(output_folder)
    with s.step("pick the Greek, Japanese and French names in the open dialog"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
    for output_name in ["\u00fcn\u00efcode \u00ff.pdf", "\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf"]:
        output = os.path.join(output_folder, output_name)
        with s.step(f"join them into {output_name}"):
            start_join(s, output)
            text = s.answer_message()
            s.check(text == "Join successful.", f"the message says {text!r}")
            s.check(os.path.exists(output), f"no {output_name}; the folder holds "
                    f"{os.listdir(output_folder)}")
            pages = page_texts(output)
            s.check(pages == ["Part 1", "Part 2", "Part 3"], f"the pages read {pages}")
            s.check(s.items() == entries(folder, names), "the list's entries changed")
    with s.step("no temporary file is left"):
        left = sorted(os.listdir(output_folder))
        s.check(left == sorted(["\u00fcn\u00efcode \u00ff.pdf", "\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf"]),
                f"the output folder holds {left}")


def prepare_release_archive(s):
    """The release archive unpacked into an empty folder, with the pdftk bridge added there as a
    user adds pdftk.exe."""
    package = os.path.join(s.work, "package")
    subprocess.run(["cpack", "-G", "ZIP", "--config", os.path.join(s.build, "CPackConfig.cmake"),
                    "-B", package], check=True, stdout=subprocess.DEVNULL)
    with open(os.path.join(s.build, "CMakeCache.txt")) as cache:
        version = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(.*)$", cache.read(), re.M).group(1)
    top = f"folianto-{version}-win64"
    archives = [name for name in os.listdir(package) if name.endswith(".zip")]
    s.check(archives == [top + ".zip"], f"cpack made {archives}")
    unpacked = os.path.join(s.work, "unpacked")
    with zipfile.ZipFile(os.path.join(package, archives[0])) as archive:
        names = sorted(archive.namelist())
        s.check(names == [f"{top}/{name}" for name in
                          ["HAND-M.CUR", "LICENSE", "README.txt", "folianto.exe"]],
                f"the archive holds {names}")
        archive.extractall(unpacked)
        readme = archive.read(f"{top}/README.txt")
        s.check(b"pdftk.exe" in readme and b"\r\n" in readme and b"\n\n" not in readme,
                "README.txt does not tell of pdftk.exe in Windows line endings")
    s.app_folder = os.path.join(unpacked, top)
    for part in ["pdftk.exe", "pdftk.exe.so"]:
        shutil.copy2(os.path.join(s.bin, part), s.app_folder)
    s.env["WINEDLLPATH"] = s.app_folder


def release_archive(s):
    folder = os.path.join(s.work, "input")
    names = ["first.pdf", "second.pdf"]
    write_pdf(os.path.join(folder, names[0]), ["First"])
    write_pdf(os.path.join(folder, names[1]), ["Second"])
    output = os.path.join(s.work, "output", "both.pdf")
    os.makedirs(os.path.dirname(output))
    with s.step("the unpacked program joins two files"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
        start_join(s, output)
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        s.check(page_texts(output) == ["First", "Second"], f"the pages read {page_texts(output)}")


def send_to(s, folder, names, pages=None):
    """Makes the PDF files and starts the program with them, as Explorer's Send To does."""
    for name in names:
        write_pdf(os.path.join(folder, name), [pages(name) if pages else name])
    s.arguments = entries(folder, names)


def prepare_start_with_arguments(s):
    s.sent = os.path.join(s.work, "sent")
    send_to(s, s.sent, ["b.pdf", "a.pdf"])
    tree = os.path.join(s.work, "tree")
    for relative in ["x.pdf", "sub/y.pdf"]:
        write_pdf(os.path.join(tree, relative), [relative])
    with open(os.path.join(s.sent, "notes.txt"), "w") as notes:
        notes.write("not a PDF file")
    b, a = s.arguments
    s.missing = unix_to_wine(os.path.join(s.sent, "missing.pdf"))
    s.arguments = [b, unix_to_wine(tree), unix_to_wine(os.path.join(s.sent, "notes.txt")),
                   s.missing, a]


def start_with_arguments(s):
    b, a = entries(s.sent, ["b.pdf", "a.pdf"])
    tree = unix_to_wine(os.path.join(s.work, "tree"))
    with s.step("the files and the walked folder are in the list in order, the text file is not"):
        s.wait_items([b, tree + "\\x.pdf", tree + "\\sub\\y.pdf", a])
    with s.step("once the window is shown, one message names what was not found"):
        text = s.answer_message()
        expected = f"The file or folder {s.missing} was not found, so it was not added."
        s.check(text == expected, f"the message says {text!r}")
        time.sleep(0.5)
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a second message box came up")


def expect_entries(s, items, selected):
    s.wait_items(items)
    s.wait(lambda: s.state()["selected"] == selected, f"entry {selected} to be selected")


def readable_menu_items(s, rect):
    """Whether each item of the menu on the screen, top to bottom, is drawn in the text colour
    (True) or greyed (False); separators are left out."""
    screen = s.screen("menu")
    left, top, right, bottom = rect
    bands = []  # the darkest grey of each run of rows that hold something drawn
    for y in range(top + 2, bottom - 2):
        darkest = min(sum(screen.pixel(x, y)) // 3 for x in range(left + 4, right - 4))
        if darkest > 200:
            bands.append(None)
        elif bands and bands[-1] is not None:
            bands[-1] = (bands[-1][0] + 1, min(bands[-1][1], darkest))
        else:
            bands.append((1, darkest))
    # A separator is a line; an item's text is several rows high.
    return [band[1] < 80 for band in bands if band and band[0] > 4]


def prepare_work_the_list(s):
    s.scans = os.path.join(s.work, "scans")
    send_to(s, s.scans, ["page 10.pdf", "page 2.pdf", "page 1.pdf"])


def work_the_list(s):
    p10, p2, p1 = entries(s.scans, ["page 10.pdf", "page 2.pdf", "page 1.pdf"])
    s.wait_items([p10, p2, p1])
    with s.step("Alt+Down, Alt+Up, Alt+Home and Alt+End move the selected entry"):
        s.click_entry(1)
        for key, items, selected in [("alt+Down", [p2, p10, p1], 2),
                                     ("alt+Down", [p2, p1, p10], 3),
                                     ("alt+Up", [p2, p10, p1], 2),
                                     ("alt+Home", [p10, p2, p1], 1),
                                     ("alt+End", [p2, p1, p10], 3)]:
            s.key(key)
            expect_entries(s, items, selected)
    with s.step("Shift+F10 opens the menu below the selected entry; U moves it up"):
        s.key("shift+F10")
        menu = s.wait_menu()
        entry = s.ask("itemrect 3")["rect"]
        s.check(abs(menu[1] - entry[3]) <= 4, f"the menu {menu} is not below entry 3 {entry}")
        s.key("u")
        expect_entries(s, [p2, p10, p1], 2)
    with s.step("a right-click selects the entry under it; R removes it and Ctrl+Z brings it back"):
        s.right_click_at(*s.entry_point(3))
        s.wait_menu()
        s.check(s.state()["selected"] == 3, "the right-click did not select entry 3")
        s.key("r")
        s.wait_items([p2, p10])
        s.key("ctrl+z")
        expect_entries(s, [p2, p10, p1], 3)
    with s.step("a right-click on the empty area: only what needs no entry can act; N sorts"):
        x, y = s.entry_point(3)
        s.right_click_at(x, (s.ask("itemrect 3")["rect"][3] + s.controls[LISTVIEW1]["rect"][3]) // 2)
        readable = readable_menu_items(s, s.wait_menu())
        s.check(readable == [False] * 5 + [True] * 2, f"readable menu items: {readable}")
        s.key("n")
        s.wait_items([p1, p2, p10])
    with s.step("Ctrl+Z takes the sort back and Ctrl+Y makes it again"):
        s.key("ctrl+z")
        s.wait_items([p2, p10, p1])
        s.key("ctrl+y")
        s.wait_items([p1, p2, p10])
    with s.step("the context-menu key, A removes all, and Ctrl+Z brings every entry back"):
        s.click_entry(1)
        s.key("Menu")
        s.wait_menu()
        s.key("a")
        s.wait_items([])
        s.key("ctrl+z")
        s.wait_items([p1, p2, p10])
    with s.step("Ctrl+Z brings back an entry removed by a double-click, at its place"):
        s.click_entry(2, double=True)
        s.wait_items([p1, p10])
        s.key("ctrl+z")
        expect_entries(s, [p1, p2, p10], 2)
    with s.step("with the focus on a button, Shift+F10 and the context-menu key open the menu"):
        s.key("Tab")
        s.wait(lambda: (s.state()["focus"] or {}).get("id") == CHECK4_ADD_FOLDER, "Tab to go on")
        for key in ["shift+F10", "Menu"]:
            s.key(key)
            s.wait_menu()
            s.key("Escape")
            s.wait(lambda: all(d["class"] != "#32768" for d in s.dialogs()), "the menu to close")
    with s.step("with the focus on a button, Ctrl+Z goes back to the empty list, Ctrl+Y forward"):
        s.wait(lambda: (s.state()["focus"] or {}).get("id") == CHECK4_ADD_FOLDER, "the focus kept")
        s.key(*["ctrl+z"] * 12)
        s.wait_items([])
        s.key("ctrl+y")
        s.wait_items([p10, p2, p1])
    with s.step("the arrow buttons' tips give their whole captions"):
        for button, tip in [(CHECK3_MOVE_UP, "Move Up"), (driver.CHECK5_MOVE_DOWN, "Move Down")]:
            s.xdotool("mousemove", "--sync", *map(str, center(s.controls[button]["rect"])))
            s.wait(lambda: s.ask("tips")["tips"] == [tip], f'the tip "{tip}"')


def prepare_drag_to_reorder(s):
    s.parts = os.path.join(s.work, "parts")
    send_to(s, s.parts, [f"part {n:02}.pdf" for n in range(1, 13)])

    # At 125 % (120 dpi) the list's rows, scrolled to its end, end exactly at its bottom edge.
    def set_dpi():
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", "120", "/f"], env=s.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.before_program = set_dpi


def insertion_line_at(s, y, name, rows=None):
    """On how many of rows (y - 1 and y unless given) the screen shows a line across the list's
    rows."""
    screen = s.screen(name)
    left = s.controls[LISTVIEW1]["rect"][0]
    return sum(all(sum(screen.pixel(x, row)) < 150 for x in range(left + 4, left + 300))
               for row in (rows or (y - 1, y)))


def tab_to(s, control, what):
    for _ in range(len(s.controls)):
        if (s.state()["focus"] or {}).get("id") == control:
            return
        s.key("Tab")
    raise StepFailed(f"Tab never reached {what}")


def drag_to_reorder(s):
    parts = entries(s.parts, [f"part {n:02}.pdf" for n in range(1, 13)])
    s.wait_items(parts)
    with s.step("drag the first entry into the lower half of the third: the line shows after it"):
        s.press_and_drag(s.entry_point(1), [s.entry_point(3, 0.8)])
        below_third = s.ask("itemrect 3")["rect"][3]
        s.wait(lambda: insertion_line_at(s, below_third, "line-after-third"),
               "a line below the third entry")
        s.check(not insertion_line_at(s, s.ask("itemrect 2")["rect"][3], "no-line-above"),
                "a line shows above the third entry too")
    with s.step("let go: the entry lands after the third and is selected"):
        s.xdotool("mouseup", "1")
        order = parts[1:3] + parts[:1] + parts[3:]
        expect_entries(s, order, 3)
    with s.step("drag the last entry up to the top edge: the list scrolls, and it lands first"):
        s.key("End")
        s.wait(lambda: s.state()["selected"] == 12, "the last entry to be selected")
        header_bottom = s.ask("listparts")["header"][3]
        x = s.entry_point(12)[0]
        s.press_and_drag(s.entry_point(12), [(x, header_bottom + 3)])
        s.wait(lambda: s.ask("itemrect 1")["rect"][1] >= header_bottom, "the list to scroll up")
        s.xdotool("mouseup", "1")
        order = order[-1:] + order[:-1]
        expect_entries(s, order, 1)
    with s.step('Tab to "Move Up" during a drag, Enter or Space: it moves up once, the drag ends'):
        for key in ["Return", "space"]:
            time.sleep(1.0)  # no double-click with the last press on entry 2
            s.press_and_drag(s.entry_point(2), [s.entry_point(4, 0.8)])
            tab_to(s, CHECK3_MOVE_UP, '"Move Up"')
            s.key(key)
            order[:2] = order[1::-1]
            expect_entries(s, order, 1)
            s.xdotool("mouseup", "1")
            time.sleep(0.5)
            s.check(s.items() == order, f"letting go moved an entry: {s.items()}")
    with s.step("Escape during a drag, and letting go outside the list, leave the order"):
        s.press_and_drag(s.entry_point(2), [s.entry_point(4, 0.8)])
        s.key("Escape")
        s.xdotool("mouseup", "1")
        # Two presses in one place within the double-click time would remove the entry.
        time.sleep(1.0)
        s.press_and_drag(s.entry_point(2), [center(s.controls[CHECK2_JOIN]["rect"])])
        s.xdotool("mouseup", "1")
        time.sleep(0.5)
        s.check(s.items() == order, f"the order changed: {s.items()}")
    with s.step("scrolled to its end, the line after the last entry shows whole"):
        s.click_entry(1)
        s.key("End")
        s.wait(lambda: s.state()["selected"] == 12, "the last entry to be selected")
        s.press_and_drag(s.entry_point(11), [s.entry_point(12, 0.8)])
        end = s.ask("itemrect 12")["rect"][3]
        s.wait(lambda: insertion_line_at(s, end, "line-after-last", range(end - 2, end + 2)) >= 2,
               "a line two pixels thick below the last entry")
        s.key("Escape")
        s.xdotool("mouseup", "1")


def bookmarks_of(pdf):
    """The outline of pdf as (title, level, page), in order, as the tool reads it."""
    dump = subprocess.run(["pdftk", pdf, "dump_data_utf8"], check=True, capture_output=True,
                          text=True).stdout
    fields = re.findall(r"^BookmarkTitle: (.*)\nBookmarkLevel: (\d+)\nBookmarkPageNumber: (\d+)$",
                        dump, re.M)
    return [(title, int(level), int(page)) for title, level, page in fields]


def write_pdf_with_bookmarks(path, pages, bookmarks):
    """A PDF of the given page texts with an outline of (title, level, page), made by the tool."""
    plain = write_pdf(path + ".plain", pages)
    data = "".join(f"BookmarkBegin\nBookmarkTitle: {title}\nBookmarkLevel: {level}\n"
                   f"BookmarkPageNumber: {page}\n" for title, level, page in bookmarks)
    subprocess.run(["pdftk", plain, "update_info_utf8", "-", "output", path], input=data,
                   text=True, check=True)
    os.remove(plain)


def save_with_check_box(s, output, ticked_before, tick):
    """Clicks "Join!", names output, finds the check box as ticked_before, sets it to tick and
    saves with Enter."""
    s.click_control(CHECK2_JOIN)
    s.wait_dialog(driver.SAVE_TITLE, timeout=FEATURE_TIMEOUT)
    time.sleep(0.3)
    box = s.dialog_control(driver.SAVE_TITLE, "Add a bookmark for each file")
    s.check(box and box["checked"] == ticked_before,
            f"the check box is {box}, expected ticked: {ticked_before}")
    # The name first: a click on the box takes the focus from the name box.
    s.key("Home", "shift+End")
    s.type(unix_to_wine(output))
    if tick != ticked_before:
        s.click_at(*center(box["rect"]))
        s.wait(lambda: s.dialog_control(driver.SAVE_TITLE, box["text"])["checked"] == tick,
               "the check box to change")
    s.shot("check-box")
    s.key("Return")
    s.wait_dialog_closed(driver.SAVE_TITLE)


def prepare_bookmark_each_file(s):
    s.parts = os.path.join(s.work, "parts")
    s.files = [("alpha.pdf", ["a1", "a2"], [("A one", 1, 1), ("A two", 2, 2)]),
               ("\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.pdf", ["e1"],
                [("\u0393\u03ac\u03bc\u03bc\u03b1 & more <x> &amp;", 1, 1)]),
               ("gamma.pdf", ["g1", "g2", "g3"], [("G start", 1, 1), ("G end", 1, 3)])]
    for name, pages, outline in s.files:
        write_pdf_with_bookmarks(os.path.join(s.parts, name), pages, outline)
    s.arguments = entries(s.parts, [name for name, _, _ in s.files])


def bookmark_each_file(s):
    s.wait_items(s.arguments)
    output_folder = os.path.join(s.work, "joined")
    os.makedirs(output_folder)
    marked, plain = (os.path.join(output_folder, name) for name in ["marked.pdf", "plain.pdf"])
    with s.step("Join! with the box ticked: an entry for each file, its own bookmarks below"):
        save_with_check_box(s, marked, ticked_before=0, tick=1)
        text = s.answer_message()
        s.check(text == "Join successful.", f"the message says {text!r}")
        # Each file's own bookmarks as the tool reads them, entities and all.
        expected, first = [], 1
        for name, pages, _ in s.files:
            expected.append((name[:-4], 1, first))
            expected += [(title, level + 1, page + first - 1)
                         for title, level, page in bookmarks_of(os.path.join(s.parts, name))]
            first += len(pages)
        got = bookmarks_of(marked)
        s.check(got == expected, f"the outline is {got}, expected {expected}")
        s.check(page_texts(marked) == [t for _, pages, _ in s.files for t in pages],
                f"the pages read {page_texts(marked)}")
    with s.step("the box is still ticked; unticked, the outline is the tool's own"):
        save_with_check_box(s, plain, ticked_before=1, tick=0)
        s.answer_message()
        reference = os.path.join(s.work, "reference.pdf")
        subprocess.run(["pdftk", *(os.path.join(s.parts, name) for name, _, _ in s.files),
                        "cat", "output", reference], check=True)
        s.check(bookmarks_of(plain) == bookmarks_of(reference),
                f"the outline is {bookmarks_of(plain)}, the tool gives {bookmarks_of(reference)}")
        left = sorted(os.listdir(output_folder))
        s.check(left == ["marked.pdf", "plain.pdf"], f"the output folder holds {left}")


PASSWORD = "Sesame-7319"
PASSWORD_2 = "Tulip-2046"
# Letters the Western code page lacks, all of them.
CYRILLIC_PASSWORD = "\u0421\u0435\u0437\u0430\u043c"


class CommandLineWatch:
    """Reads the command line of every Linux process while it runs, for passwords, and counts
    the runs of the tool that read a password on their standard input."""

    def __init__(self, secrets):
        import threading
        self.secrets, self.leaks, self.prompted = [x.encode() for x in secrets], [], set()
        self.running = True
        self.thread = threading.Thread(target=self.watch, daemon=True)
        self.thread.start()

    def watch(self):
        while self.running:
            for cmdline in pathlib.Path("/proc").glob("[0-9]*/cmdline"):
                try:
                    line = cmdline.read_bytes()
                except OSError:
                    continue
                if any(secret in line for secret in self.secrets):
                    self.leaks.append(line.replace(b"\0", b" "))
                if b"input_pw" in line and b"PROMPT" in line:
                    self.prompted.add(cmdline.parent.name)
            time.sleep(0.02)

    def stop(self):
        self.running = False
        self.thread.join()


ASKED = "This file needs a password to open."


def answer_password(s, path, password, says=ASKED, hides=""):
    """Answers the password box that names path, whose prompt holds says and none of whose texts
    holds a character of hides: types password by keys into it, where the keyboard focus must
    already be, and presses Enter; None: Cancel."""
    dialog = s.wait_dialog("Password", timeout=60)
    s.check(dialog["statics"][0] == unix_to_wine(path), f"the dialog names {dialog['statics']}")
    s.check(says in dialog["statics"][1], f"the dialog says {dialog['statics'][1]!r}")
    texts = [dialog["title"]] + [c["text"] or "" for c in dialog["controls"]]
    s.check(not any(c in text for c in hides for text in texts), f"the dialog shows {texts}")
    box = next(c for c in dialog["controls"] if c["class"] == "Edit")
    s.check(box["style"] & 0x20, "the password box is not masked (ES_PASSWORD)")
    # Whatever was opened with a password before lies in the join's private folder, never beside
    # the user's files: beside the output is only the joined file to be, under its temporary name.
    for folder in (s.inputs, os.path.join(s.work, "joined")):
        made = [name for name in os.listdir(folder) if name.startswith("folianto-")]
        s.check(all(name.endswith(".tmp") and folder != s.inputs for name in made),
                f"{folder} holds {made}")
    s.shot("password")
    if password is None:
        s.click_at(*center(s.dialog_control("Password", "Cancel")["rect"]))
    else:
        # What is typed goes where the focus is: a box without it would hand the password to
        # another window.
        state = s.state()
        focus = state["focus"] or {}
        s.check(state["foreground"] == "Password" and focus.get("class") == "Edit"
                and focus.get("rect") == box["rect"],
                f"the foreground is {state['foreground']!r}, the focus on {focus}")
        s.type(password, secret=True)
        s.key("Return")
    # The next box may follow at once, under the same title.
    s.wait(lambda: all(d["handle"] != dialog["handle"] for d in s.dialogs()),
           "the password box to close")


def prepare_password_asked(s):
    s.inputs = os.path.join(s.work, "inputs")
    write_pdf(os.path.join(s.inputs, "open.pdf"), ["open"])
    for name, password in [("locked.pdf", PASSWORD), ("locked 2.pdf", PASSWORD_2)]:
        locked = os.path.join(s.inputs, name)
        write_pdf(locked + ".plain", [name[:-4]])
        subprocess.run(["qpdf", "--encrypt", password, "owner-" + password, "128",
                        "--use-aes=y", "--", locked + ".plain", locked], check=True)
        os.remove(locked + ".plain")
    s.arguments = entries(s.inputs, ["open.pdf", "locked.pdf", "locked 2.pdf"])


def password_asked(s):
    s.wait_items(s.arguments)
    locked, locked_2 = (os.path.join(s.inputs, name) for name in ["locked.pdf", "locked 2.pdf"])
    output_folder = os.path.join(s.work, "joined")
    os.makedirs(output_folder)
    joined = os.path.join(output_folder, "joined.pdf")
    watch = CommandLineWatch([PASSWORD, PASSWORD_2])
    try:
        with s.step("Join!: a password the tool cannot read is said so, and asked again"):
            start_join(s, joined)
            answer_password(s, locked, CYRILLIC_PASSWORD)
        with s.step("the box says which letters the tool reads, none of the password's; a wrong "
                    "one asks again"):
            answer_password(s, locked, "wrong guess",
                            says="letters that pdftk.exe cannot read on this system, where it "
                                 "reads only Western European (Latin) letters,",
                            hides=CYRILLIC_PASSWORD)
        with s.step("the right one opens the file; the next locked file is asked for"):
            answer_password(s, locked, PASSWORD, says="That password is wrong.")
            answer_password(s, locked_2, PASSWORD_2)
        with s.step("both right ones join"):
            text = s.answer_message()
            s.check(text == "Join successful.", f"the message says {text!r}")
            s.check(page_texts(joined) == ["open", "locked", "locked 2"],
                    f"the pages read {page_texts(joined)}")
        with s.step("Cancel joins nothing and says nothing"):
            cancelled = os.path.join(output_folder, "cancelled.pdf")
            start_join(s, cancelled)
            answer_password(s, locked, None)
            s.wait(lambda: s.state()["progress"] == 0, "the progress bar back at 0")
            time.sleep(1.0)
            s.check(not s.dialogs(), f"a window came up after Cancel: {s.dialogs()}")
            left = sorted(os.listdir(output_folder))
            s.check(left == ["joined.pdf"], f"the output folder holds {left}")
    finally:
        watch.stop()
    with s.step("no command line held the password while the tool ran with PROMPT"):
        s.check(len(watch.prompted) >= 3, f"the tool read a password {len(watch.prompted)} times")
        s.check(not watch.leaks, f"the password was on a command line: {watch.leaks}")


def explorer_of(s, folder_name):
    """The Explorer window that shows the folder of that name."""
    return next((w for w in s.ask("windows")["windows"]
                 if w["class"] == "ExplorerWClass" and w["title"] == folder_name), None)


def close_explorer_of(s, folder_name):
    """Waits for an Explorer window of the folder, and closes it."""
    window = s.wait(lambda: explorer_of(s, folder_name), f"an Explorer window of {folder_name}")
    s.click_close_button(window["rect"])
    return s.wait(lambda: not explorer_of(s, folder_name), "the Explorer window to close")


def prepare_first_start_without_pdftk(s):
    """The program alone in a folder of its own, as unpacked from its archive."""
    s.app_folder = os.path.join(s.work, "new app")
    os.makedirs(s.app_folder)
    shutil.copy2(os.path.join(s.bin, "folianto.exe"), s.app_folder)
    send_to(s, os.path.join(s.work, "inputs"), ["one.pdf", "two.pdf"])


def first_start_without_pdftk(s):
    s.wait_items(s.arguments)
    with s.step('"Join!" says that pdftk.exe is missing, where it goes, and offers that folder'):
        s.click_control(CHECK2_JOIN)
        s.wait_dialog(driver.SAVE_TITLE, timeout=FEATURE_TIMEOUT)
        s.answer_save(os.path.join(s.work, "joined.pdf"))
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=60)
        s.check(box["text"] == f"pdftk.exe was not found in {unix_to_wine(s.app_folder)}.\n\n"
                "Put pdftk.exe, and the files that came with it, into that folder.",
                f"the box says {box['text']!r}")
        shown = [c["text"] for c in box["controls"] if c["class"] == "Button"]
        s.check(shown == ["Show &Folder", "OK"], f"the buttons are {shown}")
    with s.step('"Show Folder" opens that folder in Explorer'):
        s.click_at(*center(s.dialog_control(driver.MESSAGE_TITLE, "Show Folder")["rect"]))
        s.wait_dialog_closed(driver.MESSAGE_TITLE)
        close_explorer_of(s, "new app")
        s.check(not os.path.exists(os.path.join(s.work, "joined.pdf")), "something was joined")


def prepare_join_successful_offers_the_file(s):
    s.opened = os.path.join(s.work, "opened.txt")
    send_to(s, os.path.join(s.work, "inputs"), ["one.pdf", "two.pdf"])

    def open_records():
        # The program Windows uses for PDF files writes down each file it is given.
        subprocess.run(["wine", "reg", "add", r"HKCR\pdffile\shell\open\command", "/ve", "/d",
                        r"C:\windows\system32\cmd.exe /c echo %1>>" + unix_to_wine(s.opened),
                        "/f"], env=s.env, check=True, stdout=subprocess.DEVNULL)
    s.before_program = open_records


def join_successful_offers_the_file(s):
    s.wait_items(s.arguments)
    output = os.path.join(s.work, "out folder", "joined.pdf")
    os.makedirs(os.path.dirname(output))

    def opened():
        """The files the program for PDF files was given, once it has ended."""
        for cmdline in pathlib.Path("/proc").glob("[0-9]*/cmdline"):
            with contextlib.suppress(OSError):
                if b"opened.txt" in cmdline.read_bytes():
                    return None
        return marks(s.opened)

    def close_explorer():
        return close_explorer_of(s, "out folder")

    def press(button):
        box = s.wait_dialog(driver.MESSAGE_TITLE, timeout=60)
        s.check(box["text"] == "Join successful.", f"the message says {box['text']!r}")
        shown = [(c["text"], c["style"] & 0xF) for c in box["controls"] if c["class"] == "Button"]
        s.check(shown == [("&Open", 0), ("Show in &Folder", 0), ("OK", 1)],
                f"the buttons are {shown}, OK not the default")
        s.click_at(*center(s.dialog_control(driver.MESSAGE_TITLE, button)["rect"]))
        s.wait_dialog_closed(driver.MESSAGE_TITLE)

    with s.step('"Open" in "Join successful." opens the joined file in the program for PDF files'):
        start_join(s, output)
        press("Open")
        s.wait(lambda: opened() == [unix_to_wine(output)], "the program to get the joined file")
    with s.step('"Show in Folder" in "Join successful." shows its folder in Explorer'):
        s.click_control(CHECK2_JOIN)
        s.answer_save(output, wait_closed=False)
        s.wait(lambda: (s.dialog(driver.SAVE_TITLE) or {}).get("text"), "the replace question")
        s.key("y")
        press("Show in Folder")
        close_explorer()
    with s.step("the list's menu does the same with the joined file"):
        s.pick_files(os.path.dirname(output), ["joined.pdf"])
        s.click_entry(3)
        s.wait(lambda: s.state()["selected"] == 3, "the joined file to be selected")
        for key, done in [("o", lambda: opened() == [unix_to_wine(output)] * 2),
                          ("f", close_explorer)]:
            # The other program took the keyboard: a click on the caption takes it back.
            left, top, right, _ = s.main["window"]
            s.click_at((left + right) // 2, (top + s.main["client"][1]) // 2)
            s.key("shift+F10")
            s.wait_menu()
            s.key(key)
            s.wait(done, f"what the menu's item {key!r} does")


SCENARIOS = {
    "join_three": (join_three, None),
    "add_folder": (add_folder, None),
    "remove_by_double_click": (remove_by_double_click, None),
    "join_missing_input": (join_missing_input, None),
    "join_26_refused": (join_26_refused, None),
    "close_during_slow_join": (close_during_slow_join, prepare_slow_tool),
    "close_during_joins_outside_the_code_page": (close_during_joins_outside_the_code_page,
                                                 prepare_slow_tool_for_nested_joins),
    "pointer_feedback": (pointer_feedback, prepare_pointer_app),
    "nested_joins": (nested_joins, prepare_nested_joins),
    "pointer_without_hand": (pointer_without_hand, prepare_without_hand),
    "never_maximized": (never_maximized, prepare_maximized_start),
    "save_dialog_protects_files": (save_dialog_protects_files, None),
    "names_outside_the_code_page": (names_outside_the_code_page, None),
    "release_archive": (release_archive, prepare_release_archive),
    "keyboard_only": (keyboard_only, None),
    "dark_scheme": (dark_scheme, prepare_dark_scheme),
    "start_with_arguments": (start_with_arguments, prepare_start_with_arguments),
    "work_the_list": (work_the_list, prepare_work_the_list),
    "drag_to_reorder": (drag_to_reorder, prepare_drag_to_reorder),
    "close_during_join_into_held_file": (close_during_join_into_held_file, prepare_slow_join),
    "second_folianto_refused": (second_folianto_refused, prepare_slow_join),
    "killed_join_leaves_nothing": (killed_join_leaves_nothing, prepare_slow_join),
    "bookmark_each_file": (bookmark_each_file, prepare_bookmark_each_file),
    "password_asked": (password_asked, prepare_password_asked),
    "join_successful_offers_the_file": (join_successful_offers_the_file,
                                        prepare_join_successful_offers_the_file),
    "first_start_without_pdftk": (first_start_without_pdftk, prepare_first_start_without_pdftk),
}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print(f"usage: {argv[0]} BUILD_DIR {{{'|'.join(SCENARIOS)}}}", file=sys.stderr)
        return 2
    body, prepare = SCENARIOS[argv[2]]
    return driver.run(argv[1], argv[2], body, prepare=prepare)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
