<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A small translation for the translation test: a menu title, a menu item and a
     message box text of the main window. -->
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>There is not a window open that can be saved!</source>
        <translation>Es ist kein Fenster offen, das gespeichert werden kann!</translation>
    </message>
</context>
</TS>
