"""The README's Python snippet runs as written."""

import re
from pathlib import Path

README = Path(__file__).resolve().parents[3] / "README.md"


def test_readme_python_snippet_runs(capsys):
    blocks = re.findall(r"```python\n(.*?)```", README.read_text(encoding="utf-8"), re.DOTALL)
    assert blocks, "README.md has no python snippet"
    exec(compile(blocks[0], "README.md (python snippet)", "exec"), {})
    assert capsys.readouterr().out.strip() == "[0.70710678 0.         0.         0.70710678]"
