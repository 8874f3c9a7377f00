# Run by CPack on each package's staged files just before it packs them: with SOURCE_DATE_EPOCH
# set, every file and folder takes it as its time, so that no package records when its files
# were built or checked out. rpmbuild by itself only lowers later times to SOURCE_DATE_EPOCH,
# which leaves the build's own times in the RPM while the changelog's top entry is dated ahead.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
                            -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
