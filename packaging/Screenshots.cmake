# The pictures of docs/ that show the program, with their captions, the first the main one:
# the AppStream description lists them, and the documents carry them beside the README.
set(CALVIX_SCREENSHOT_FILES
    main-window.png "The main window over the desktop"
    verdict.png "A valid CPF's verdict"
    tray-icon.png "The Calvix icon in the notification area, with its tip"
    licence-window.png "The licence window"
    credits-window.png "The credits window")
