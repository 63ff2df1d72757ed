<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>BlockTypes</name>
    <message>
        <source>Steel 64</source>
        <translation>鉄 64</translation>
    </message>
    <message>
        <source>rebounds the ball at full speed</source>
        <translation>ボールを速さそのままで跳ね返す</translation>
    </message>
    <message>
        <source>Brick 64</source>
        <translation>レンガ 64</translation>
    </message>
    <message>
        <source>rebounds the ball at 0.8 of its speed</source>
        <translation>ボールを速さ0.8倍で跳ね返す</translation>
    </message>
    <message>
        <source>Moss 64</source>
        <translation>コケ 64</translation>
    </message>
    <message>
        <source>rebounds the ball at 0.2 of its speed, so it soon stops</source>
        <translation>ボールを速さ0.2倍で跳ね返す（すぐ止まる）</translation>
    </message>
    <message>
        <source>Needles 64</source>
        <translation>トゲ 64</translation>
    </message>
    <message>
        <source>send the ball back to the start; the shot is lost</source>
        <translation>ボールをスタートに戻す（その1手は失われる）</translation>
    </message>
    <message>
        <source>Ice 64</source>
        <translation>氷 64</translation>
    </message>
    <message>
        <source>a floor the ball slides over without friction (the brake does nothing there)</source>
        <translation>ボールが摩擦なしで滑る床（ブレーキも効かない）</translation>
    </message>
    <message>
        <source>Steel</source>
        <translation>鉄</translation>
    </message>
    <message>
        <source>Brick</source>
        <translation>レンガ</translation>
    </message>
    <message>
        <source>Moss</source>
        <translation>コケ</translation>
    </message>
    <message>
        <source>Needles</source>
        <translation>トゲ</translation>
    </message>
    <message>
        <source>Ice</source>
        <translation>氷</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>ゴール</translation>
    </message>
    <message>
        <source>touch it to clear the stage</source>
        <translation>触れるとステージクリア</translation>
    </message>
    <message>
        <source>Conveyor right</source>
        <translation>コンベア右</translation>
    </message>
    <message>
        <source>pushes the ball right; on a belt the ball stops only when braked</source>
        <translation>ボールを右へ押す（ベルトの上ではブレーキでしか止まらない）</translation>
    </message>
    <message>
        <source>Conveyor left</source>
        <translation>コンベア左</translation>
    </message>
    <message>
        <source>pushes the ball left; on a belt the ball stops only when braked</source>
        <translation>ボールを左へ押す（ベルトの上ではブレーキでしか止まらない）</translation>
    </message>
    <message>
        <source>Conveyor up</source>
        <translation>コンベア上</translation>
    </message>
    <message>
        <source>pushes the ball up; on a belt the ball stops only when braked</source>
        <translation>ボールを上へ押す（ベルトの上ではブレーキでしか止まらない）</translation>
    </message>
    <message>
        <source>Conveyor down</source>
        <translation>コンベア下</translation>
    </message>
    <message>
        <source>pushes the ball down; on a belt the ball stops only when braked</source>
        <translation>ボールを下へ押す（ベルトの上ではブレーキでしか止まらない）</translation>
    </message>
    <message>
        <source>Booster</source>
        <translation>ブースター</translation>
    </message>
    <message>
        <source>sends a ball slower than 12 pixels a frame on at 15, the same way</source>
        <translation>1フレーム12ドットより遅いボールを、同じ向きに速さ15で送り出す</translation>
    </message>
    <message>
        <source>Switch A</source>
        <translation>スイッチA</translation>
    </message>
    <message>
        <source>steel for 80 frames, then needles for 81, over and over</source>
        <translation>80フレームは鉄、続く81フレームはトゲ、をくり返す</translation>
    </message>
    <message>
        <source>Switch B</source>
        <translation>スイッチB</translation>
    </message>
    <message>
        <source>needles for 80 frames, then steel for 81, over and over</source>
        <translation>80フレームはトゲ、続く81フレームは鉄、をくり返す</translation>
    </message>
</context>
</TS>
