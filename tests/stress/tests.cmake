# Long-running stress tests of the whole plug-in (none yet).
