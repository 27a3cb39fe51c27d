#ifndef PROGRAMSTART_H
#define PROGRAMSTART_H

class QSplashScreen;

// The start of a run after the application object exists: splash, database, log-in, main window.
class ProgramStart
{
public:
    // Sets the names the settings store and the title bars go by.
    static void setApplicationNames();

    // How long the splash stays up, blocking; VELLORAN_SPLASH_MS shortens it (0 skips it).
    static int splashMilliseconds();

    // Shows the splash for splashMilliseconds() and closes it again; the caller keeps it alive
    // so that it can finish on the main window.
    static void showSplash(QSplashScreen &splash);

    // Builds the main window (database chooser included), logs the user in and runs the event
    // loop; the database is closed before it returns, and also when the program is ended by exit()
    // from within, as the display plugin does when the display goes away. Returns the exit code: 1 when no database
    // could be opened, 0 when the log-in was refused or the program was told to end, else the event
    // loop's result.
    static int run(QSplashScreen *splash);

    // Ends the program as Close does when the session ends or someone kills it: SIGTERM, SIGINT and
    // SIGHUP are carried into the event loop, which cancels every open dialog as its Cancel does, the
    // innermost first, rolls back the transaction left open and leaves every running loop; run() then
    // closes the database on its way out. Needs the application object. Called again once the
    // database is attached: the embedded engine puts handlers of its own in place on the first attach.
    static void handleEndSignals();
    // How long the first attach may wait for the engine before the user is told that another program
    // holds it (20 s unless changed).
    static void setEngineWait(int milliseconds);

    // True once one of those signals has arrived, also while no event loop has read it yet: the
    // start-up steps run before the loop and look here between steps.
    static bool endRequested();

    // The start-up steps that need no user, for checking an installation: the delivered databases
    // into the data folder where absent, then each of them opened by the data hub. Writes one line per
    // database and returns 0 when both opened, else 1.
    static int checkStartUp();
};

#endif // PROGRAMSTART_H
