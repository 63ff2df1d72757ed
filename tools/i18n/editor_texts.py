#!/usr/bin/env python3
"""The editor's translatable texts and their English translations.

editor_texts.py check SOURCES... TS    fails, naming them, when a text of tr(...) or QT_TR_NOOP(...)
                                      in SOURCES has no English translation in TS, or TS holds
                                      one no source uses
editor_texts.py list SOURCES...       prints the texts, one per line (escaped as in C++)
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

# tr("..." "...") and QT_TR_NOOP("..."): the literal pieces joined as the compiler joins them.
CALL = re.compile(r'\b(?:tr|QT_TR_NOOP)\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)[,)]')
PIECE = re.compile(r'"((?:[^"\\]|\\.)*)"')
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def unescape(text):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def source_texts(paths):
    texts = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            code = f.read()
        for match in CALL.finditer(code):
            text = unescape("".join(PIECE.findall(match.group(1))))
            line = code.count("\n", 0, match.start()) + 1
            texts.setdefault(text, f"{path}:{line}")
    return texts


def translations(ts_path):
    found = {}
    for message in ElementTree.parse(ts_path).getroot().iter("message"):
        source = message.findtext("source") or ""
        translation = message.find("translation")
        done = translation is not None and translation.get("type") not in ("unfinished", "obsolete")
        found[source] = (translation.text or "") if done else ""
    return found


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "list":
        for text in source_texts(sys.argv[2:]):
            print(text.encode("unicode_escape").decode("ascii") if "\n" in text else text)
        return 0
    if command != "check" or len(sys.argv) < 4:
        sys.exit(__doc__)
    texts = source_texts(sys.argv[2:-1])
    english = translations(sys.argv[-1])
    faults = [f"{where}: no English for {text!r}" for text, where in texts.items()
              if not english.get(text)]
    faults += [f"{sys.argv[-1]}: {text!r} is used nowhere" for text in english if text not in texts]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
