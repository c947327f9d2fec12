#!/usr/bin/env python3
"""Every GL and GLU call in the show's sources goes through the web layer.

The layer holds primitives back to send runs of them as one draw, and sends
them before any other GL call it sees; a call it does not see would act
before the drawing that comes ahead of it. So the redirection header must
name every gl* and glu* function the show calls.

  redirect_test.py SOURCE_ROOT
"""
import os
import re
import sys

root = sys.argv[1]
header = open(os.path.join(root, "src/platform/web/gl_redirect.h")).read()
redirected = set(re.findall(r"#define (glu?[A-Z]\w*) compat_\1\b", header))
# The show's sources: everything but the layer itself, the desktop's own
# platform files (the scaled window's picture) and the desktop-only offscreen
# context of tests and tools.
skip = {os.path.join("src", "platform", "web"), os.path.join("src", "platform", "desktop"),
        os.path.join("src", "platform", "offscreen.cpp")}
calls = {}
for folder, _, files in os.walk(os.path.join(root, "src")):
    for name in files:
        path = os.path.join(folder, name)
        relative = os.path.relpath(path, root)
        if not name.endswith((".cpp", ".h")) or any(relative.startswith(s) for s in skip):
            continue
        text = re.sub(r"//[^\n]*", "", open(path).read())
        for function in re.findall(r"\b(glu?[A-Z]\w*)\s*\(", text):
            calls.setdefault(function, relative)
missing = sorted(f for f in calls if f not in redirected)
if not calls:
    print("no GL calls found under %s/src" % root)
    sys.exit(1)
if missing:
    for function in missing:
        print("%s (in %s) is not redirected in src/platform/web/gl_redirect.h" % (function, calls[function]))
    sys.exit(1)
print("%d GL and GLU functions called, all redirected" % len(calls))
