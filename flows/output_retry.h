// Platform seam: the timer by which the low-latency output tries its endpoint
// again while it plays nowhere. Declared here, run by the shell on the main
// window, faked in tests.
#pragma once

// While on, onOutputRetryDue (flows/output_device.h) is called once a second.
void scheduleOutputRetry(bool on);
