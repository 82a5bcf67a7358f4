# QFileRoutine and shell routines: target_sources(palvo_core PRIVATE ...)
