// The parts of a live reception test: the GPS records with the machine's clock (the reader's
// time steps and time-outs run in real time), settings in a temporary folder, a real port of
// type `Port` and the session over them.
#pragma once

#include "frame/settings_store.h"
#include "gps/gps_session.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/linux/system_clock.h"
#include "tests/gps/gps_fixture.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {

template <class Port>
struct LiveSession {
    TempDir home;
    ScopedEnv vexaHome{"VEXA_HOME", home.path().c_str()};
    GpsRecords records;
    SystemClock systemClock;
    GpsInput input = records.input(records.ui, systemClock, records.views);
    FileSettingsStorage storage{home / "VEXA.conf"};
    SettingsStore store{storage, records.ui, records.diagnostics};
    Port port;
    GpsSession session{input, store, port};
};

}  // namespace vexa::testing
