# Tests of QFileRoutine and the shell routines.
