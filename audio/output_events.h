// What the low-latency output tells the program from threads of its own: its
// render thread, and the system's threads that report endpoints. Declared
// here, defined by the shell, which hands each over to the program's thread;
// flows/output_device.h handles them there, in order with every message.
#pragma once

// The stream of that generation was lost (its device went).
void tellOutputLost(unsigned generation);
void tellDefaultOutputChanged();
// An endpoint came, went or changed its state.
void tellOutputEndpointsChanged();
