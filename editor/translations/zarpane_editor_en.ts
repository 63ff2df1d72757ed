<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>zarp::editor::MainWindow</name>
    <message>
        <source>ステージ%1を確かめています…</source>
        <translation>Checking stage %1…</translation>
    </message>
    <message>
        <source>確認を中止しました</source>
        <translation>The check was cancelled</translation>
    </message>
    <message>
        <source>ステージ%1にはスタートと設定がありません。ゲームはこのステージを遊べません。</source>
        <translation>Stage %1 has no start and settings entries: the game cannot play it.</translation>
    </message>
    <message>
        <source>ステージ%1にはゴールがありません。クリアできません。</source>
        <translation>Stage %1 has no goal: it cannot be cleared.</translation>
    </message>
    <message>
        <source>ステージ%1は %2 手中 %3 手でクリアできます（コイン %4 / %5 枚）。</source>
        <translation>Stage %1 can be cleared in %3 of its %2 shots, taking %4 of %5 coins.</translation>
    </message>
    <message>
        <source>ステージ%1は %2 手ではクリアする道が見つかりませんでした。</source>
        <translation>No way was found to clear stage %1 within %2 shots.</translation>
    </message>
    <message>
        <source>ステージ%1は時間内に確かめきれませんでした。</source>
        <translation>Stage %1 could not be checked in the time given.</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>ステージ%1はコインが多すぎるので、減らしてください</source>
        <translation>Stage %1 has too many coins; please remove some</translation>
    </message>
    <message>
        <source>ステージ%1はブロックが多すぎるので、減らしてください</source>
        <translation>Stage %1 has too many blocks; please remove some</translation>
    </message>
    <message>
        <source>開く前に保存しますか？</source>
        <translation>Save before opening?</translation>
    </message>
    <message>
        <source>%1 は既に存在します。
置き換えますか？</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>保存されていない編集内容が残っています。

ファイル: %1
時刻: %2

復元しますか？</source>
        <translation>Unsaved changes were left behind.

File: %1
Time: %2

Restore them?</translation>
    </message>
    <message>
        <source>このステージにはゴールがありません。
このままテストプレイしますか？</source>
        <translation>This stage has no goal.
Test play it all the same?</translation>
    </message>
    <message>
        <source>BlockButton</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>Coin</source>
        <translation>Coin</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>位置 -</source>
        <translation>Pointer -</translation>
    </message>
    <message>
        <source>位置 %1, %2（マス %3, %4）</source>
        <translation>Pointer %1, %2 (cell %3, %4)</translation>
    </message>
    <message>
        <source>ブロック %1　コイン %2　記録 %3</source>
        <translation>Blocks %1  Coins %2  Entries %3</translation>
    </message>
    <message>
        <source>角度 %1°　残機 %2</source>
        <translation>Angle %1°  Shots %2</translation>
    </message>
    <message>
        <source>角度 -　残機 -</source>
        <translation>Angle -  Shots -</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ファイルを開く(&amp;L)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>上書き保存する(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前を付けて保存する(&amp;A)</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>ゲーム本体を起動する(&amp;G)</source>
        <translation>Start the &amp;Game</translation>
    </message>
    <message>
        <source>今編集しているステージを起動する(&amp;I)</source>
        <translation>Test Play This Stage (&amp;I)</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直す(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>等倍(&amp;1)</source>
        <translation>Actual Size (&amp;1×)</translation>
    </message>
    <message>
        <source>2倍(&amp;2)</source>
        <translation>&amp;2×</translation>
    </message>
    <message>
        <source>3倍(&amp;3)</source>
        <translation>&amp;3×</translation>
    </message>
    <message>
        <source>拡大(&amp;I)</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>マス目変更(&amp;M)</source>
        <translation>&amp;Grid</translation>
    </message>
    <message>
        <source>free</source>
        <translation>free</translation>
    </message>
    <message>
        <source>ステージ入れ替え(&amp;C)</source>
        <translation>Exchange Stages (&amp;C)</translation>
    </message>
    <message>
        <source>ステージ詳細設定(&amp;S)</source>
        <translation>&amp;Stage Details</translation>
    </message>
    <message>
        <source>このゲームの設定</source>
        <translation>Set Settings</translation>
    </message>
    <message>
        <source>このステージを確かめる(&amp;K)</source>
        <translation>Chec&amp;k This Stage</translation>
    </message>
    <message>
        <source>テストプレイをウィンドウで行う(&amp;W)</source>
        <translation>Test Play in a &amp;Window</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)</source>
        <translation>&amp;Version</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>Version Information</translation>
    </message>
    <message>
        <source>ブロックを置く</source>
        <translation>Place a block</translation>
    </message>
    <message>
        <source>コインを置く</source>
        <translation>Place a coin</translation>
    </message>
    <message>
        <source>スタート位置を動かす</source>
        <translation>Move the start</translation>
    </message>
    <message>
        <source>コインを消す</source>
        <translation>Erase coins</translation>
    </message>
    <message>
        <source>ブロックを消す</source>
        <translation>Erase blocks</translation>
    </message>
    <message>
        <source>諸般の事情によりいったん終了してください</source>
        <translation>This stage is nearly full: please save the set and open it again</translation>
    </message>
    <message>
        <source>'%1' is not a valid integer value</source>
        <translation>'%1' is not a valid integer value</translation>
    </message>
    <message>
        <source>カーソルの初期角度を入力してください (0-360)</source>
        <translation>Enter the start angle of the aim (0-360)</translation>
    </message>
    <message>
        <source>残機数を入力してください(1-9)</source>
        <translation>Enter the number of shots (1-9)</translation>
    </message>
    <message>
        <source>ステージ詳細設定</source>
        <translation>Stage details</translation>
    </message>
    <message>
        <source>制作者の名前を入力してください（半角１６文字まで）</source>
        <translation>Enter the author's name (up to 16 single-byte characters)</translation>
    </message>
    <message>
        <source>制作者の名前が半角１６文字（１６バイト）を超えています。このまま使いますが、ゲームでは表示しきれないことがあります。</source>
        <translation>The author's name is longer than 16 single-byte characters (16 bytes). It is kept, but the game may not show all of it.</translation>
    </message>
    <message>
        <source>ステージの合計を入力してください(1-20)</source>
        <translation>Enter the number of stages (1-20)</translation>
    </message>
    <message>
        <source>現ステージと入れ替えるところを入力してください</source>
        <translation>Enter the stage to exchange with this one</translation>
    </message>
    <message>
        <source>Zarpane Stage Editor
バージョン %1

作者のひとことを表示しますか？</source>
        <translation>Zarpane Stage Editor
Version %1

Show a word from the author?</translation>
    </message>
    <message>
        <source>ステージができたら、ゲームの作業フォルダに .zrp ファイルとして置いてください。タイトルの USER'S STAGE から遊べます。
zrptool check で、ゲームに読めるかどうかを確かめられます。</source>
        <translation>When a stage set is done, put its .zrp file in the game's working folder: USER'S STAGE on the title plays it.
zrptool check tells whether the game can read it.</translation>
    </message>
    <message>
        <source>ステージ入れ替え</source>
        <translation>Exchange stages</translation>
    </message>
</context>
</TS>
