// Binds the library straight to the sensor simulator, the way discovery
// binds the HID library and opens a sensor, for tests and the benchmark.
#ifndef DRAVIK_TESTS_SIM_BINDING_H
#define DRAVIK_TESTS_SIM_BINDING_H

#include <cstdint>

#include "dravik_sim.h"

// hidLibrary points at the simulator's HID side, the kernel stand-ins at its
// device backend.
void bindSimulator();
void unbindSimulator();

// Creates simulated sensor n (its path names n) with this HID version number
// and opens it into the next slot as discovery would: handle, DID from the
// HID attributes, path; deviceCount grows by one. Returns the simulator's
// device id, or -1.
int openSimulatedSensor(uint16_t versionNumber);

#endif
