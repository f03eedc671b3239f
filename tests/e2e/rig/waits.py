"""Waiting for observable state. A step never sleeps a guessed time: it polls
for what it needs, with a timeout and a message naming what it waited for.
The only fixed pauses are durations that a test exercises, named as such."""

import time

# How often a wait looks again; not a synchronisation of its own.
POLL_INTERVAL = 0.05


class WaitTimeout(AssertionError):
    """A wait that ran out: the state it waited for never came."""


def wait_until(condition, timeout, what, interval=POLL_INTERVAL):
    """Polls condition() until it returns something truthy, and returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise WaitTimeout(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def eventually(check, timeout, what, interval=POLL_INTERVAL):
    """Runs check() until it stops raising AssertionError; returns its result.
    On timeout the last failure is raised, prefixed with what was waited for."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            return check()
        except AssertionError as failure:
            if time.monotonic() > deadline:
                raise WaitTimeout(f"{what}: still not so after {timeout:.1f} s: {failure}") from None
        time.sleep(interval)


def hold_for(seconds):
    """A pause whose length is itself what the test exercises: a key or a mouse
    button held down for a while."""
    time.sleep(seconds)
