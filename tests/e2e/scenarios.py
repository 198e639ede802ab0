"""The end-to-end scenarios: what a user does with Folianto, checked from outside the program.

Usage: scenarios.py BUILD_DIR SCENARIO      (run it through run-scenario.sh, which gives it a
display of its own). BUILD_DIR is the Windows build folder."""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import driver  # noqa: E402
from driver import (CHECK1_ADD_FILES, CHECK2_JOIN, CHECK3_MOVE_UP, CHECK4_ADD_FOLDER,  # noqa: E402
                    COMMAND1, FeatureMissing, StepFailed, unix_to_wine)
from samplepdf import write_pdf  # noqa: E402

# How long a feature that is there takes at most to show its first dialog.
FEATURE_TIMEOUT = 15
# Closing the window must end the program at once; this leaves room for a loaded machine.
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


def check_start_state(s):
    with s.step("the window opens empty, with the focus on Command1"):
        state = s.state()
        s.check(s.main["caption"] == "Folianto", f"caption is {s.main['caption']!r}")
        s.check(state["items"] == [], f"list is not empty: {state['items']}")
        s.check(state["progress"] == 0, f"progress is {state['progress']}")
        focus = state["focus"]
        s.check(focus and focus["id"] == COMMAND1, f"focus is on {focus}")


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


def start_join(s, output):
    """Clicks "Join!" and names the output file; FeatureMissing when there is no join yet."""
    s.click_control(CHECK2_JOIN)
    try:
        s.wait_dialog(driver.SAVE_TITLE, timeout=FEATURE_TIMEOUT)
    except StepFailed:
        raise FeatureMissing('"Join!" shows no save dialog: the join is not in the program yet')
    if not os.path.exists(os.path.join(s.app_folder, "pdftk.exe")):
        raise FeatureMissing(f"no pdftk.exe in {s.app_folder}: the pdftk bridge is not built")
    s.answer_save(output)


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
        try:
            s.wait_dialog(driver.FOLDER_TITLE, timeout=FEATURE_TIMEOUT)
        except StepFailed:
            raise FeatureMissing('"Add All PDF File(s) In Folder" shows no folder picker: '
                                 'the folder walk is not in the program yet')
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
    finished = os.path.join(s.app_folder, "slow-tool-finished")
    output = os.path.join(s.work, "joined.pdf")
    with s.step("add two PDF files"):
        s.pick_files(folder, names)
        s.wait_items(entries(folder, names))
    with s.step('click "Join!" and name the output file'):
        start_join(s, output)
    with s.step("the slow tool runs while the window waits"):
        s.wait(lambda: os.path.exists(started), "the slow tool to start")
        state = s.state()
        s.check(state["progress"] == 100, f"progress is {state['progress']} during the join")
        s.check(s.dialog(driver.MESSAGE_TITLE) is None, "a message box came up during the join")
        s.shot("join-waiting")
    with s.step("click the window's close button: the program ends at once"):
        s.check(not s.program_ended(), "folianto.exe ended before the click")
        clicked_at = time.monotonic()
        s.click_close_button()
        s.wait(s.program_ended, "folianto.exe to end", timeout=CLOSE_TIMEOUT, interval=0.05)
        s.say(f"folianto.exe ended within {time.monotonic() - clicked_at:.2f} s of the click")
        s.check(not os.path.exists(finished), "the tool had already finished: it is not slow "
                "enough to prove anything")
        s.shot("closed")
    with s.step("the tool is not stopped and finishes on its own"):
        s.wait(lambda: os.path.exists(finished), "the slow tool to finish", timeout=30)


SCENARIOS = {
    "join_three": (join_three, None),
    "add_folder": (add_folder, None),
    "remove_by_double_click": (remove_by_double_click, None),
    "join_missing_input": (join_missing_input, None),
    "join_26_refused": (join_26_refused, None),
    "close_during_slow_join": (close_during_slow_join, prepare_slow_tool),
}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print(f"usage: {argv[0]} BUILD_DIR {{{'|'.join(SCENARIOS)}}}", file=sys.stderr)
        return 2
    body, prepare = SCENARIOS[argv[2]]
    return driver.run(argv[1], argv[2], body, prepare=prepare)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
