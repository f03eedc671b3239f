"""unittest glue: every test gets a fresh session and a Quillpad to drive."""

import sys
import unittest

from .session import Session
from .steps import Quillpad


class QuillpadTestCase(unittest.TestCase):
    """Gives every test a fresh Session (self.session) and its Quillpad
    (self.quillpad), and ends them afterwards; on failure the screenshot,
    recording and program output go to build/e2e/artifacts/."""

    def setUp(self):
        self.session = Session(self.id())
        self.addCleanup(self._end_session)
        self.session.open()
        self.quillpad = Quillpad(self.session)

    def _end_session(self):
        if self._failed():
            saved = self.session.save_artifacts(self.id())
            if saved:
                print(f"\n  artifacts: {saved[0].parent}", file=sys.stderr)
        self.session.close()

    def _failed(self):
        # unittest reports a failure to the result as soon as it happens; during the
        # clean-ups the outcome's own success flag reads True again.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        if result is None:
            return False
        return any(test is self for test, _ in list(result.errors) + list(result.failures))
