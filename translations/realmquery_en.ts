<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>realm::Arguments</name>
    <message>
        <source>选项 %1 的值含有不能按系统编码读作文字的字节（也许最后一个字符被截断了）。</source>
        <translation>The value of option %1 holds bytes that are not text in the system&apos;s encoding (perhaps its last character was cut off).</translation>
    </message>
    <message>
        <source>参数“%1”含有不能按系统编码读作文字的字节（也许最后一个字符被截断了）。</source>
        <translation>The argument “%1” holds bytes that are not text in the system&apos;s encoding (perhaps its last character was cut off).</translation>
    </message>
</context>
<context>
    <name>realm::ConnectionString</name>
    <message>
        <source>%1中含有“};”，SQL Server 驱动程序无法接受。</source>
        <translation>The %1 contains &quot;};&quot;, which the SQL Server driver cannot take.</translation>
    </message>
    <message>
        <source>服务器</source>
        <translation>server</translation>
    </message>
    <message>
        <source>登录名</source>
        <translation>login</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>password</translation>
    </message>
</context>
<context>
    <name>realm::DataError</name>
    <message>
        <source>错误 %1：%2</source>
        <translation>Error %1: %2</translation>
    </message>
</context>
<context>
    <name>realm::Diagnostics</name>
    <message>
        <source>ODBC 驱动程序管理器无法分配句柄：%1</source>
        <translation>The ODBC driver manager could not allocate a handle: %1</translation>
    </message>
</context>
<context>
    <name>realm::DriverConfiguration</name>
    <message>
        <source>无法写入 SQL Server 驱动程序的私有配置文件 %1：%2</source>
        <translation>Cannot write the SQL Server driver&apos;s private configuration file %1: %2</translation>
    </message>
    <message>
        <source>证书文件名或服务器名中含有换行。</source>
        <translation>The certificate file name or the server name holds a line break.</translation>
    </message>
</context>
<context>
    <name>realm::ItemDatabase</name>
    <message>
        <source>无法读取物品数据库 %1：%2</source>
        <translation>Cannot read the item database %1: %2</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>它是文件夹，不是文件</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>无法读取文件（%1）</source>
        <translation>the file cannot be read (%1)</translation>
    </message>
    <message>
        <source>文件已损坏：%1</source>
        <translation>the file is damaged: %1</translation>
    </message>
    <message>
        <source>表“item”没有“%1”列</source>
        <translation>table &quot;item&quot; has no column &quot;%1&quot;</translation>
    </message>
    <message>
        <source>不是 Jet 4 数据库</source>
        <translation>not a Jet 4 database</translation>
    </message>
    <message>
        <source>没有“item”表</source>
        <translation>it has no table &quot;item&quot;</translation>
    </message>
    <message>
        <source>它不是普通文件（而是管道、设备或套接字）</source>
        <translation>it is not a regular file (but a pipe, a device or a socket)</translation>
    </message>
    <message>
        <source>它大于 Jet 4 数据库的上限 2 GB</source>
        <translation>it is larger than a Jet 4 database can be (2 GB)</translation>
    </message>
</context>
<context>
    <name>realm::Keyring</name>
    <message>
        <source>无法使用系统密钥环（%1）。</source>
        <translation>The system keyring cannot be used (%1).</translation>
    </message>
</context>
<context>
    <name>realm::Language</name>
    <message>
        <source>界面语言：zh（中文）或 en（英文）；默认随系统区域设置。</source>
        <translation>Interface language: zh (Chinese) or en (English); by default the locale decides.</translation>
    </message>
    <message>
        <source>未知的语言“%1”，请用 zh 或 en。</source>
        <translation>Unknown language &quot;%1&quot;; use zh or en.</translation>
    </message>
</context>
<context>
    <name>realm::Module1</name>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>程序在文件夹 %1 中查找物品文件 db.mdb。</source>
        <translation>The program looks for the item file db.mdb in the folder %1.</translation>
    </message>
    <message>
        <source>游戏数据库的服务器设置在 %1 的 [%2] 节中：serverip、userid 和 password。</source>
        <translation>The game database server settings are in the [%2] section of %1: serverip, userid and password.</translation>
    </message>
    <message>
        <source>该文件不存在。</source>
        <translation>That file does not exist.</translation>
    </message>
    <message>
        <source>其中没有设置服务器（serverip）。</source>
        <translation>It names no server (serverip).</translation>
    </message>
</context>
<context>
    <name>realm::OdbcConnection</name>
    <message>
        <source>查询超时：%1 在 %2 秒内没有回答。</source>
        <translation>Query timeout expired: %1 did not answer within %2 seconds.</translation>
    </message>
    <message>
        <source>SQL Server %1（登录名 %2）</source>
        <translation>SQL Server %1 as %2</translation>
    </message>
    <message>
        <source>ODBC 驱动程序管理器拒绝了 ODBC 3：%1</source>
        <translation>The ODBC driver manager refused ODBC 3: %1</translation>
    </message>
    <message>
        <source>无法连接到 %1，试过主机 %2 的端口 %3：%4</source>
        <translation>Cannot connect to %1, tried host %2 port %3: %4</translation>
    </message>
    <message>
        <source>%1在 %2 秒内没有完成登录（试过主机 %3 的端口 %4），已放弃这次连接；服务器若已拒绝登录，它的回答没有从 ODBC 驱动程序管理器返回。</source>
        <translation>%1 did not finish the login within %2 seconds (tried host %3 port %4); the connection was given up. If the server refused the login, its answer never came back from the ODBC driver manager.</translation>
    </message>
    <message>
        <source>ODBC 驱动程序拒绝了连接属性 %1：%2</source>
        <translation>The ODBC driver refused the connection attribute %1: %2</translation>
    </message>
    <message>
        <source>服务器 %1 不支持加密连接，而设置要求加密（encrypt=require）：没有发送登录。</source>
        <translation>The server %1 does not support encrypted connections, and the settings require encryption (encrypt=require): the login was not sent.</translation>
    </message>
</context>
<context>
    <name>realm::ProgramFolder</name>
    <message>
        <source>设置：db.ini 从 --dir 指定的文件夹读取；没有 --dir 时，若程序所在的文件夹中有 db.ini
就从那里读取，否则从 $XDG_CONFIG_HOME/realmquery（通常是 ~/.config/realmquery）
读取。db.mdb 从 db.ini 所在的文件夹读取。</source>
        <translation>Settings: db.ini is read from the folder given with --dir; without it, from the
program&apos;s own folder when that holds db.ini, else from $XDG_CONFIG_HOME/realmquery
(usually ~/.config/realmquery). db.mdb is read from the same folder as db.ini.</translation>
    </message>
    <message>
        <source>设置：db.ini 从 --dir 指定的文件夹读取；没有 --dir 时，若程序所在的文件夹中有 db.ini
就从那里读取，否则从 %LOCALAPPDATA%\realmquery 读取。
db.mdb 从 db.ini 所在的文件夹读取。</source>
        <translation>Settings: db.ini is read from the folder given with --dir; without it, from the
program&apos;s own folder when that holds db.ini, else from %LOCALAPPDATA%\realmquery.
db.mdb is read from the same folder as db.ini.</translation>
    </message>
</context>
<context>
    <name>realm::Query</name>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>%1：数值超出可查询的范围。</source>
        <translation>%1: the number is beyond the range that can be searched.</translation>
    </message>
    <message>
        <source>%1：“%2”不是比较符，请用 = &lt; &gt; &lt;= &gt;= &lt;&gt; 之一。</source>
        <translation>%1: &quot;%2&quot; is not a comparison; use one of = &lt; &gt; &lt;= &gt;= &lt;&gt;.</translation>
    </message>
    <message>
        <source>装备ID</source>
        <translation>Item ID</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Amount</translation>
    </message>
    <message>
        <source>数量比较符</source>
        <translation>Amount comparison</translation>
    </message>
    <message>
        <source>+几的属性</source>
        <translation>Enchant</translation>
    </message>
    <message>
        <source>+几的属性比较符</source>
        <translation>Enchant comparison</translation>
    </message>
    <message>
        <source>%1“%2”按 %3 查询</source>
        <translation>%1 &quot;%2&quot; searched as %3</translation>
    </message>
</context>
<context>
    <name>realm::Recordset</name>
    <message>
        <source>对象打开时不允许此操作。</source>
        <translation>Operation is not allowed when the object is open.</translation>
    </message>
    <message>
        <source>BOF 或 EOF 为真：没有当前行。</source>
        <translation>Either BOF or EOF is True: no current row.</translation>
    </message>
    <message>
        <source>对象关闭时不允许此操作。</source>
        <translation>Operation is not allowed when the object is closed.</translation>
    </message>
    <message>
        <source>在集合中找不到与请求的名称对应的项：%1</source>
        <translation>Item cannot be found in the collection corresponding to the requested name: %1</translation>
    </message>
</context>
<context>
    <name>realm::Searches</name>
    <message>
        <source>统计结果的“%1”列不是整数：%2</source>
        <translation>The column &quot;%1&quot; of the totals is not a whole number: %2</translation>
    </message>
    <message>
        <source>统计结果缺少“%1”列</source>
        <translation>The totals lack the column &quot;%1&quot;</translation>
    </message>
    <message>
        <source>物品文件中没有名称包含“%1”的物品，未查询。</source>
        <translation>No item of the item file has a name holding &quot;%1&quot;; nothing was searched.</translation>
    </message>
    <message>
        <source>请输入宠物名称。</source>
        <translation>Enter a pet name.</translation>
    </message>
    <message>
        <source>请输入装备ID或装备名称。</source>
        <translation>Enter an item ID or an item name.</translation>
    </message>
    <message>
        <source>请输入角色名称。</source>
        <translation>Enter a character name.</translation>
    </message>
    <message>
        <source>没有名为“%1”的角色。</source>
        <translation>There is no character named &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>角色“%1”没有账号。</source>
        <translation>The character &quot;%1&quot; has no account.</translation>
    </message>
</context>
<context>
    <name>realm::ServerAddress</name>
    <message>
        <source>可用的写法：主机、主机,端口、主机\实例、“.”或“(local)”，IPv6 地址写在方括号里，如 [::1],1433。</source>
        <translation>Forms that work: host, host,port, host\instance, &quot;.&quot; or &quot;(local)&quot;, an IPv6 address in brackets such as [::1],1433.</translation>
    </message>
    <message>
        <source>“%1”不是服务器地址：%2。%3</source>
        <translation>&quot;%1&quot; is not a server address: %2. %3</translation>
    </message>
    <message>
        <source>方括号没有闭合</source>
        <translation>the bracket is not closed</translation>
    </message>
    <message>
        <source>IPv6 地址要写在方括号里</source>
        <translation>an IPv6 address goes in brackets</translation>
    </message>
    <message>
        <source>端口要用逗号隔开，不用冒号</source>
        <translation>the port follows a comma, not a colon</translation>
    </message>
    <message>
        <source>端口“%1”不是 1 到 65535 之间的数</source>
        <translation>the port &quot;%1&quot; is not a number from 1 to 65535</translation>
    </message>
    <message>
        <source>缺少主机名</source>
        <translation>the host name is missing</translation>
    </message>
    <message>
        <source>反斜杠后缺少实例名</source>
        <translation>the instance name after the backslash is missing</translation>
    </message>
    <message>
        <source>主机名后多了“%1”</source>
        <translation>&quot;%1&quot; follows the host name</translation>
    </message>
    <message>
        <source>%1 上的 SQL Server Browser 没有回答实例 %2 的询问（UDP 端口 1434），找不到该实例的端口；请确认实例名，或在 db.ini 的 serverip 中写上端口（主机,端口）。</source>
        <translation>The SQL Server Browser on %1 did not answer for instance %2 (UDP port 1434), so the instance&apos;s port is unknown; check the instance name, or give the port in serverip in db.ini (host,port).</translation>
    </message>
    <message>
        <source>找不到主机 %1。</source>
        <translation>Host %1 not found.</translation>
    </message>
</context>
<context>
    <name>realm::ServerPassword</name>
    <message>
        <source>系统密钥环中没有服务器 %1（登录名 %2）的密码。请用“realmquery-cli password %1”保存一个，或在 db.ini 中写上 password。</source>
        <translation>The system keyring holds no password for the server %1 (login %2). Store one with &quot;realmquery-cli password %1&quot;, or put a password key in db.ini.</translation>
    </message>
    <message>
        <source>系统密钥环中为 %1 保存的密码被拒绝。请用“realmquery-cli password %1”保存正确的密码。</source>
        <translation>The password stored in the system keyring for %1 was refused. Store the right one with &quot;realmquery-cli password %1&quot;.</translation>
    </message>
</context>
<context>
    <name>realm::ServerTls</name>
    <message>
        <source>服务器 %1 的证书已过期（按 %2 验证），连接已中止。</source>
        <translation>The certificate of the server %1 has expired (verified against %2); the connection was ended.</translation>
    </message>
    <message>
        <source>服务器 %1 的证书尚未生效（按 %2 验证），连接已中止。</source>
        <translation>The certificate of the server %1 is not valid yet (verified against %2); the connection was ended.</translation>
    </message>
    <message>
        <source>服务器 %1 出示的证书属于另一个主机名，连接已中止（按 %2 验证）。</source>
        <translation>The server %1 showed a certificate for another host name; the connection was ended (verified against %2).</translation>
    </message>
    <message>
        <source>服务器 %1 的证书不是由 %2 中受信任的证书签发的，连接已中止。</source>
        <translation>The certificate of the server %1 was not issued by a certificate trusted in %2 (unknown issuer); the connection was ended.</translation>
    </message>
    <message>
        <source>无法从 %2 读取受信任的证书，未连接服务器 %1。</source>
        <translation>No trusted certificates can be read from %2; the server %1 was not contacted.</translation>
    </message>
    <message>
        <source>服务器 %1 的证书没有通过验证（按 %2）：%3，连接已中止。</source>
        <translation>The certificate of the server %1 failed verification against %2: %3; the connection was ended.</translation>
    </message>
</context>
<context>
    <name>realm::Settings</name>
    <message>
        <source>设置文件 %1 中 [%2] 的 serverip 写得不对：%3</source>
        <translation>The settings file %1: serverip in section [%2] is wrong: %3</translation>
    </message>
    <message>
        <source>设置文件 %1 中 [%2] 的 encrypt 只能是 no、request 或 require。</source>
        <translation>The settings file %1: encrypt in section [%2] must be no, request or require.</translation>
    </message>
    <message>
        <source>设置文件 %1 没有指定游戏服务器：[%2] 节的 serverip 缺失或为空。</source>
        <translation>The settings file %1 names no game server: serverip in section [%2] is missing or empty.</translation>
    </message>
    <message>
        <source>设置文件 %1：[%2] 节的 querytimeout 必须是整数秒，0 表示不限时。</source>
        <translation>The settings file %1: querytimeout in section [%2] must be a whole number of seconds, 0 for none.</translation>
    </message>
    <message>
        <source>设置文件 %1 中的节 [%2] 没有给出服务器名称。</source>
        <translation>The settings file %1: section [%2] gives no server name.</translation>
    </message>
    <message>
        <source>设置文件 %1 中的节 [%2]：服务器名称“%3”已被 [%4] 使用。</source>
        <translation>The settings file %1: section [%2]: the server name &quot;%3&quot; is already used by [%4].</translation>
    </message>
</context>
<context>
    <name>realm::SettingsTemplate</name>
    <message>
        <source>; 若要用演示游戏数据库代替 SQL Server 试用本程序，请删去下一行开头的分号，
; 并把演示文件夹中的 db.mdb 复制到这里。
</source>
        <translation>; To try the program on the demo game database instead of SQL Server, remove
; the semicolon below and copy db.mdb from the demo folder here.
</translation>
    </message>
    <message>
        <source>; 主机、主机,端口 或 主机\实例
</source>
        <translation>; host, host,port or host\instance
</translation>
    </message>
    <message>
        <source>; realmquery 的设置。请填写游戏的 SQL Server 和一个可以读取其数据库 realmdb 的登录名。
; 物品文件 db.mdb 放在这个文件夹中。
</source>
        <translation>; Settings of realmquery. Fill in the game&apos;s SQL Server and a login that may
; read its database realmdb. The item file db.mdb goes into this folder.
</translation>
    </message>
    <message>
        <source>找不到 db.ini。依次查找过这些文件夹：</source>
        <translation>No db.ini found. Looked in these folders, in this order:</translation>
    </message>
    <message>
        <source>请把 db.ini（[基础设置] 节：serverip、userid、password）放到 %1，
并把物品文件 db.mdb 放在它旁边：%2。</source>
        <translation>Put db.ini (section [基础设置]: serverip, userid, password) in %1,
and the item file db.mdb beside it: %2.</translation>
    </message>
    <message>
        <source>若要改用演示数据：--dir %1</source>
        <translation>To try the demo data instead: --dir %1</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1。</source>
        <translation>Could not make the folder %1.</translation>
    </message>
    <message>
        <source>无法创建 %1：%2</source>
        <translation>Could not create %1: %2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>警告：%1 中有 SQL Server 的密码，但其他用户也能读取这个文件。请只让自己可读：chmod 600 %1</source>
        <translation>Warning: %1 holds the SQL Server password, but other users may read it. Make it readable by you alone: chmod 600 %1</translation>
    </message>
    <message>
        <source>; name：窗口和命令行对这台服务器的称呼。
</source>
        <translation>; name: what the windows and the command line call this server.
</translation>
    </message>
    <message>
        <source>; 其他每台游戏服务器：一个名为“服务器:”加名称的节，键与上面相同
; （serverip、userid、password、querytimeout），例如：
</source>
        <translation>; Each further game server: a section &quot;服务器:&quot; and its name, with the same
; keys (serverip, userid, password, querytimeout), for example:
</translation>
    </message>
</context>
<context>
    <name>realm::SqliteConnection</name>
    <message>
        <source>找不到游戏数据库文件：%1</source>
        <translation>Game database file not found: %1</translation>
    </message>
    <message>
        <source>语句为空。</source>
        <translation>The statement is empty.</translation>
    </message>
    <message>
        <source>一次只能运行一条语句。</source>
        <translation>Only one statement may run at a time.</translation>
    </message>
    <message>
        <source>语句需要 %1 个参数，给出了 %2 个。</source>
        <translation>The statement expects %1 parameters, %2 given.</translation>
    </message>
</context>
<context>
    <name>realm::Statement</name>
    <message>
        <source>SQL Server 报告语句失败，但没有给出原因。</source>
        <translation>SQL Server reported that the statement failed and gave no reason.</translation>
    </message>
</context>
<context>
    <name>realm::cli::CommandLine</name>
    <message>
        <source>读取名为 &lt;name&gt; 的游戏服务器（可重复）；不给出时读取基础服务器。</source>
        <translation>Read the game server named &lt;name&gt; (repeatable); without it, the base server is read.</translation>
    </message>
    <message>
        <source>读取 db.ini 中的所有游戏服务器。</source>
        <translation>Read every game server of db.ini.</translation>
    </message>
    <message>
        <source>列出 db.ini 中的游戏服务器：名称、地址或文件、登录名。</source>
        <translation>List the game servers of db.ini: name, address or file, login.</translation>
    </message>
    <message>
        <source>物品名称的一部分（界面为英文时也查英文名称）。</source>
        <translation>Part of an item name (the English names too under the English interface).</translation>
    </message>
    <message>
        <source>装备查询会找到的物品的合计，按物品或按角色。</source>
        <translation>Totals of what the equipment search finds, by item or by character.</translation>
    </message>
    <message>
        <source>按 item（物品，默认）或 character（角色）合计。</source>
        <translation>Add up by item (the default) or by character.</translation>
    </message>
    <message>
        <source>被多行持有的同一物品实例（复制的物品），按实例ID排列。</source>
        <translation>Item instances held by more than one row (duplicated items), by instance id.</translation>
    </message>
    <message>
        <source>只列出有该物品ID的一行的实例。</source>
        <translation>Only the instances with a row of this item id.</translation>
    </message>
    <message>
        <source>未知的合计方式“%1”，请用 item 或 character。</source>
        <translation>Unknown grouping &quot;%1&quot;; use item or character.</translation>
    </message>
    <message>
        <source>显示本帮助。</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <source>显示版本。</source>
        <translation>Show the version.</translation>
    </message>
    <message>
        <source>输出格式：tsv（默认）、csv、json 或 xlsx（需要 --output）。</source>
        <translation>Output as tsv (the default), csv, json or xlsx (needs --output).</translation>
    </message>
    <message>
        <source>物品名称：c 为中文名称（默认）；e 为英文名称，没有英文名称的物品用中文名称。</source>
        <translation>Item names: c for the Chinese names (the default); e for the English names, the Chinese name where an item has none.</translation>
    </message>
    <message>
        <source>按角色名称、物品ID、数量和强化等级查询角色持有的物品。</source>
        <translation>Items of characters, by character name, item id, amount and enchant level.</translation>
    </message>
    <message>
        <source>角色名称的一部分。</source>
        <translation>Part of the character name.</translation>
    </message>
    <message>
        <source>物品ID。</source>
        <translation>The item id.</translation>
    </message>
    <message>
        <source>要比较的数量。</source>
        <translation>The amount to compare with.</translation>
    </message>
    <message>
        <source>数量的比较符：= &lt; &gt; &lt;= &gt;= &lt;&gt;（默认 =；空：不比较）。</source>
        <translation>The amount&apos;s comparison: = &lt; &gt; &lt;= &gt;= &lt;&gt; (default =; empty: none).</translation>
    </message>
    <message>
        <source>要比较的强化等级。</source>
        <translation>The enchant level to compare with.</translation>
    </message>
    <message>
        <source>强化等级的比较符（默认 =；空：不比较）。</source>
        <translation>The enchant level&apos;s comparison (default =; empty: none).</translation>
    </message>
    <message>
        <source>昵称包含该文本的宠物（% 和 _ 是通配符）。</source>
        <translation>Pets whose nickname contains the text (% and _ are wildcards).</translation>
    </message>
    <message>
        <source>按ID和/或中文名称的一部分查询物品文件中的条目。</source>
        <translation>Entries of the item file by id and/or part of the Chinese name.</translation>
    </message>
    <message>
        <source>物品中文名称的一部分。</source>
        <translation>Part of the item&apos;s Chinese name.</translation>
    </message>
    <message>
        <source>拥有该角色的帐号下的所有角色。</source>
        <translation>Every character of the account that owns the named character.</translation>
    </message>
    <message>
        <source>用法：%1</source>
        <translation>Usage: %1</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>参数：</source>
        <translation>Arguments:</translation>
    </message>
    <message>
        <source>运行查询窗口的查询，把结果行写到标准输出。</source>
        <translation>Runs the query windows&apos; searches and writes their rows to standard output.</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>运行“%1 &lt;命令&gt; --help”查看命令的选项。</source>
        <translation>Run &quot;%1 &lt;command&gt; --help&quot; for a command&apos;s options.</translation>
    </message>
    <message>
        <source>未知的选项：%1。</source>
        <translation>Unknown option: %1.</translation>
    </message>
    <message>
        <source>选项 %1 缺少值。</source>
        <translation>Option %1 needs a value.</translation>
    </message>
    <message>
        <source>选项 %1 不带值。</source>
        <translation>Option %1 takes no value.</translation>
    </message>
    <message>
        <source>%1 除选项外不带参数。</source>
        <translation>%1 takes no arguments besides its options.</translation>
    </message>
    <message>
        <source>%1 需要一个 &lt;%2&gt;。</source>
        <translation>%1 takes one &lt;%2&gt;.</translation>
    </message>
    <message>
        <source>未知的输出格式“%1”，请用 tsv、csv、json 或 xlsx。</source>
        <translation>Unknown format &quot;%1&quot;; use tsv, csv, json or xlsx.</translation>
    </message>
    <message>
        <source>未知的物品名称“%1”，请用 c 或 e。</source>
        <translation>Unknown item names &quot;%1&quot;; use c or e.</translation>
    </message>
    <message>
        <source> [选项]</source>
        <translation> [options]</translation>
    </message>
    <message>
        <source>在窗口的输入框中会输入的内容。</source>
        <translation>What would be typed into the window&apos;s box.</translation>
    </message>
    <message>
        <source> [选项] &lt;命令&gt; [命令选项]</source>
        <translation> [options] &lt;command&gt; [command options]</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>command</translation>
    </message>
    <message>
        <source>请指定命令：%1。</source>
        <translation>Name a command: %1.</translation>
    </message>
    <message>
        <source>未知的命令“%1”，请用 %2。</source>
        <translation>Unknown command &quot;%1&quot;; use %2.</translation>
    </message>
    <message>
        <source>运行“realmquery-cli --help”查看用法。</source>
        <translation>Run &quot;realmquery-cli --help&quot; for the usage.</translation>
    </message>
    <message>
        <source>从 &lt;folder&gt; 读取 db.ini 和 db.mdb。</source>
        <translation>Read db.ini and db.mdb from &lt;folder&gt;.</translation>
    </message>
    <message>
        <source>窗口程序 realmquery 可以在那里创建 db.ini。</source>
        <translation>The window program realmquery offers to create db.ini there.</translation>
    </message>
    <message>
        <source>把 xlsx 表格写入 &lt;file&gt;（只用于 --format xlsx）。</source>
        <translation>Write the xlsx worksheet into &lt;file&gt; (only with --format xlsx).</translation>
    </message>
    <message>
        <source>--format xlsx 写的是文件，请用 --output &lt;file&gt; 指定；标准输出只写文本。</source>
        <translation>--format xlsx writes a file: name it with --output &lt;file&gt;; standard output takes text only.</translation>
    </message>
    <message>
        <source>--output 只用于 --format xlsx；其他格式写到标准输出。</source>
        <translation>--output is only for --format xlsx; the other formats go to standard output.</translation>
    </message>
    <message>
        <source>检查与游戏服务器的连接。</source>
        <translation>Checks the connection to the game servers.</translation>
    </message>
    <message>
        <source>在密钥环中保存或删除服务器的密码。</source>
        <translation>Stores or forgets a server&apos;s password in the keyring.</translation>
    </message>
    <message>
        <source>只检查这个服务器。</source>
        <translation>Check only this server.</translation>
    </message>
    <message>
        <source>检查所有服务器（默认）。</source>
        <translation>Check every server (the default).</translation>
    </message>
    <message>
        <source>删除保存的密码。</source>
        <translation>Forget the stored password.</translation>
    </message>
    <message>
        <source>服务器的名称。</source>
        <translation>The server&apos;s name.</translation>
    </message>
</context>
<context>
    <name>realm::cli::SearchRunner</name>
    <message>
        <source>没有名为“%1”的服务器；db.ini 中的服务器：%2。</source>
        <translation>No server is named &quot;%1&quot;; the servers of db.ini: %2.</translation>
    </message>
    <message>
        <source>写入输出失败。</source>
        <translation>Writing the output failed.</translation>
    </message>
</context>
<context>
    <name>realm::spreadsheet::SheetWriter</name>
    <message>
        <source>文件夹 “%1” 不存在。</source>
        <translation>The folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>无法在文件夹 “%1” 中写入文件（%2）。</source>
        <translation>Cannot write a file in the folder &quot;%1&quot; (%2).</translation>
    </message>
    <message>
        <source>“%1” 是一个文件夹，请换一个文件名。</source>
        <translation>&quot;%1&quot; is a folder; choose another file name.</translation>
    </message>
    <message>
        <source>“%1” 不是普通文件（而是设备、管道或套接字），不能导出到那里。请换一个文件名。</source>
        <translation>“%1” is not a regular file (but a device, a pipe or a socket): nothing can be exported there. Please choose another file name.</translation>
    </message>
    <message>
        <source>表格文件最多容纳 %1 行，列表的行更多，未留下文件。请导出为 CSV。</source>
        <translation>A worksheet holds at most %1 rows and the list has more; no file was left. Export as CSV instead.</translation>
    </message>
    <message>
        <source>第 %1 行有一格超过 %2 个字符，表格文件放不下，未留下文件。请导出为 CSV。</source>
        <translation>Row %1 has a cell of more than %2 characters, more than a worksheet cell holds; no file was left. Export as CSV instead.</translation>
    </message>
    <message>
        <source>写入 “%1” 失败，磁盘可能已满。未留下文件。</source>
        <translation>Writing &quot;%1&quot; failed; the disk may be full. No file was left.</translation>
    </message>
</context>
<context>
    <name>realm::cli::ServerCommands</name>
    <message>
        <source>服务器 %1（登录名 %2）的密码：</source>
        <translation>Password for the server %1 (login %2): </translation>
    </message>
    <message>
        <source>没有名为“%1”的服务器；db.ini 中的服务器是：%2。</source>
        <translation>There is no server named &quot;%1&quot;; the servers of db.ini: %2.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请指定一个服务器：%1。</source>
        <translation>Name one server: %1.</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
    <message>
        <source>开启，证书已验证（按 %1）</source>
        <translation>on, certificate verified against %1</translation>
    </message>
    <message>
        <source>开启，证书未验证（没有设置 cafile）</source>
        <translation>on, certificate not verified (no cafile)</translation>
    </message>
    <message>
        <source>只加密登录数据包，证书已验证（按 %1）</source>
        <translation>login packet only, certificate verified against %1</translation>
    </message>
    <message>
        <source>只加密登录数据包，证书未验证</source>
        <translation>login packet only, certificate not verified</translation>
    </message>
    <message>
        <source>由 ODBC 驱动程序决定（程序没能查看服务器的回答）</source>
        <translation>Left to the ODBC driver (the program could not look at the server&apos;s answer)</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>off</translation>
    </message>
    <message>
        <source>服务器 %1（%2）</source>
        <translation>server %1 (%2)</translation>
    </message>
    <message>
        <source>应答</source>
        <translation>answered</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>login</translation>
    </message>
    <message>
        <source>成功（登录名 %1）</source>
        <translation>succeeded (as %1)</translation>
    </message>
    <message>
        <source>TDS 版本</source>
        <translation>TDS version</translation>
    </message>
    <message>
        <source>服务器版本</source>
        <translation>server version</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>encryption</translation>
    </message>
    <message>
        <source>排序规则</source>
        <translation>collation</translation>
    </message>
    <message>
        <source>往返时间</source>
        <translation>round trip</translation>
    </message>
    <message>
        <source>ODBC 驱动程序</source>
        <translation>ODBC driver</translation>
    </message>
    <message>
        <source>%1 毫秒</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>已从系统密钥环中删除服务器 %1（登录名 %2）的密码。</source>
        <translation>Forgot the password of the server %1 (login %2) in the system keyring.</translation>
    </message>
    <message>
        <source>没有读到密码。</source>
        <translation>No password was read.</translation>
    </message>
    <message>
        <source>系统密钥环中的密码没有改变。</source>
        <translation>The password in the system keyring is unchanged.</translation>
    </message>
    <message>
        <source>登录成功，服务器 %1（登录名 %2）的密码已保存在系统密钥环中。</source>
        <translation>The login succeeded; the password of the server %1 (login %2) is stored in the system keyring.</translation>
    </message>
</context>
<context>
    <name>realm::ui</name>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>名称的一部分：% 代表任意几个字符，_ 代表任意一个字符</source>
        <translation>Part of a name: % stands for any run of characters, _ for any one character</translation>
    </message>
    <message>
        <source>% 和 _ 为通配符</source>
        <translation>% and _ are wildcards</translation>
    </message>
    <message>
        <source>“%1” 是一个文件夹，请换一个文件名。</source>
        <translation>&quot;%1&quot; is a folder; choose another file name.</translation>
    </message>
    <message>
        <source>文件夹 “%1” 不存在。</source>
        <translation>The folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>无法在文件夹 “%1” 中写入文件（%2）。</source>
        <translation>Cannot write a file in the folder &quot;%1&quot; (%2).</translation>
    </message>
    <message>
        <source>写入 “%1” 失败，磁盘可能已满（%2）。未留下文件。</source>
        <translation>Writing &quot;%1&quot; failed; the disk may be full (%2). No file was left.</translation>
    </message>
    <message>
        <source>导出时列表被新的查询替换，未写入文件。</source>
        <translation>A new search replaced the list during the export; no file was written.</translation>
    </message>
    <message>
        <source>已导出 %1 行到 %2</source>
        <translation>Exported %1 rows to %2</translation>
    </message>
    <message>
        <source>导出已停止，未写入文件</source>
        <translation>Export stopped; no file was written</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>制表符分隔文本 (*.txt *.tsv)</source>
        <translation>Tab-separated text (*.txt *.tsv)</translation>
    </message>
    <message>
        <source>“%1” 不是普通文件（而是设备、管道或套接字），不能导出到那里。请换一个文件名。</source>
        <translation>“%1” is not a regular file (but a device, a pipe or a socket): nothing can be exported there. Please choose another file name.</translation>
    </message>
    <message>
        <source>Excel 工作簿 (*.xlsx)</source>
        <translation>Excel workbooks (*.xlsx)</translation>
    </message>
</context>
<context>
    <name>realm::ui::ConnectionFactsDialog</name>
    <message>
        <source>服务器</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>TDS 版本</source>
        <translation>TDS version</translation>
    </message>
    <message>
        <source>服务器版本</source>
        <translation>Server version</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>Encryption</translation>
    </message>
    <message>
        <source>排序规则</source>
        <translation>Collation</translation>
    </message>
    <message>
        <source>往返时间</source>
        <translation>Round trip</translation>
    </message>
    <message>
        <source>%1 毫秒</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>已加密，证书已验证（按 %1）</source>
        <translation>Encrypted, certificate verified against %1</translation>
    </message>
    <message>
        <source>已加密，证书未验证（没有设置 cafile）</source>
        <translation>Encrypted, certificate not verified (no cafile)</translation>
    </message>
    <message>
        <source>只加密了登录数据包</source>
        <translation>Only the login packet was encrypted</translation>
    </message>
    <message>
        <source>由 ODBC 驱动程序决定（程序没能查看服务器的回答）</source>
        <translation>Left to the ODBC driver (the program could not look at the server&apos;s answer)</translation>
    </message>
    <message>
        <source>未加密</source>
        <translation>Not encrypted</translation>
    </message>
    <message>
        <source>连接信息</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>正在检查连接……</source>
        <translation>Checking the connection…</translation>
    </message>
</context>
<context>
    <name>realm::ui::ConnectionMark</name>
    <message>
        <source>单击查看连接信息</source>
        <translation>Click for the connection&apos;s facts</translation>
    </message>
</context>
<context>
    <name>realm::ui::FirstRun</name>
    <message>
        <source>要在 %1 中创建一个待填写的 db.ini 吗？</source>
        <translation>Create a db.ini to fill in, in %1?</translation>
    </message>
    <message>
        <source>已创建 %1。
请填写游戏服务器、登录名和密码，把 db.mdb 放到 %2，然后重新启动程序。</source>
        <translation>Created %1.
Fill in the game server, login and password, put db.mdb into %2, and start the program again.</translation>
    </message>
</context>
<context>
    <name>realm::ui::Form</name>
    <message>
        <source>用时 %1 秒</source>
        <translation>took %1 s</translation>
    </message>
    <message>
        <source>运行时错误 %1：

%2</source>
        <translation>Run-time error %1:

%2</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>正在查询… 已有 %1 行</source>
        <translation>Searching… rows so far: %1</translation>
    </message>
    <message>
        <source>已停止，共 %1 行</source>
        <translation>Stopped. Rows: %1</translation>
    </message>
</context>
<context>
    <name>realm::ui::Form1</name>
    <message>
        <source>查询该角色的帐号</source>
        <translation>Look up this character&apos;s account</translation>
    </message>
    <message>
        <source>只查询角色“%1”的装备，其他条件已清除</source>
        <translation>Equipment of &quot;%1&quot; only; the other filters were cleared</translation>
    </message>
    <message>
        <source>物品名称</source>
        <translation>Item name</translation>
    </message>
    <message>
        <source>物品名称的一部分：装备查询、合计和复制物品只看名称包含它的物品</source>
        <translation>Part of an item name: the equipment search, the totals and the duplicated items look only at the items whose name holds it</translation>
    </message>
    <message>
        <source>物品合计</source>
        <translation>Totals by item</translation>
    </message>
    <message>
        <source>角色合计</source>
        <translation>Totals by character</translation>
    </message>
    <message>
        <source>复制物品</source>
        <translation>Duplicated items</translation>
    </message>
    <message>
        <source>查看持有者</source>
        <translation>Show the holders</translation>
    </message>
    <message>
        <source>查看持有者的账号</source>
        <translation>Show the holder&apos;s account</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>总数量</source>
        <translation>Total amount</translation>
    </message>
    <message>
        <source>角色数</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>最高+几</source>
        <translation>Highest +</translation>
    </message>
    <message>
        <source>实例ID</source>
        <translation>Instance ID</translation>
    </message>
    <message>
        <source>云帆星域装备查询系统</source>
        <translation>Yunfan Realm Equipment Search</translation>
    </message>
    <message>
        <source>角色名称</source>
        <translation>Character</translation>
    </message>
    <message>
        <source>装备ID</source>
        <translation>Item ID</translation>
    </message>
    <message>
        <source>数    量</source>
        <translation>Amount</translation>
    </message>
    <message>
        <source>+几的属性</source>
        <translation>Enchant</translation>
    </message>
    <message>
        <source>宠物名称</source>
        <translation>Pet name</translation>
    </message>
    <message>
        <source>装备查询</source>
        <translation>Items</translation>
    </message>
    <message>
        <source>宠物查询</source>
        <translation>Pets</translation>
    </message>
    <message>
        <source>物品ID查询</source>
        <translation>Item IDs</translation>
    </message>
    <message>
        <source>中文名称</source>
        <translation>Item name</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Amount</translation>
    </message>
    <message>
        <source>+几属性</source>
        <translation>Enchant</translation>
    </message>
    <message>
        <source>角色查询</source>
        <translation>Accounts</translation>
    </message>
    <message>
        <source>共 %1 行</source>
        <translation>Rows: %1</translation>
    </message>
    <message>
        <source>查询物品ID</source>
        <translation>Look up item ID</translation>
    </message>
</context>
<context>
    <name>realm::ui::Form2</name>
    <message>
        <source>查看持有者</source>
        <translation>Show the holders</translation>
    </message>
    <message>
        <source>物品ID</source>
        <translation>Item ID</translation>
    </message>
    <message>
        <source>中文名称</source>
        <translation>Chinese name</translation>
    </message>
    <message>
        <source>英文名称</source>
        <translation>English name</translation>
    </message>
    <message>
        <source>装备ID查询</source>
        <translation>Item ID lookup</translation>
    </message>
    <message>
        <source>装备ID</source>
        <translation>Item ID</translation>
    </message>
    <message>
        <source>装备名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>查询</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>包含数量</source>
        <translation>Found</translation>
    </message>
</context>
<context>
    <name>realm::ui::Form3</name>
    <message>
        <source>查询该角色的装备</source>
        <translation>Search this character&apos;s equipment</translation>
    </message>
    <message>
        <source>角色查询</source>
        <translation>Characters of an account</translation>
    </message>
    <message>
        <source>角色名称</source>
        <translation>Character</translation>
    </message>
    <message>
        <source>查询</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>帐号</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>共 %1 个角色</source>
        <translation>Characters: %1</translation>
    </message>
</context>
<context>
    <name>realm::ui::PasswordDialog</name>
    <message>
        <source>游戏服务器的密码</source>
        <translation>Game server password</translation>
    </message>
    <message>
        <source>服务器 %1（%2）
登录名 %3</source>
        <translation>Server %1 (%2)
Login %3</translation>
    </message>
    <message>
        <source>服务器拒绝了这个密码，请再输入一次。</source>
        <translation>The server refused this password; type it again.</translation>
    </message>
    <message>
        <source>记在系统密钥环中</source>
        <translation>Remember in the system keyring</translation>
    </message>
    <message>
        <source>没有可用的系统密钥环：每次启动都要输入密码。</source>
        <translation>No system keyring is available: the password is asked at every start.</translation>
    </message>
    <message>
        <source>每次启动都要输入密码，它不会写进任何文件。</source>
        <translation>The password is asked at every start and never written to a file.</translation>
    </message>
</context>
<context>
    <name>realm::ui::Program</name>
    <message>
        <source>显示本帮助。</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <source>显示版本。</source>
        <translation>Show the version.</translation>
    </message>
    <message>
        <source>从 &lt;folder&gt; 读取 db.ini 和 db.mdb。</source>
        <translation>Read db.ini and db.mdb from &lt;folder&gt;.</translation>
    </message>
    <message>
        <source>游戏数据库查询工具：在窗口中查询游戏服务器的物品、宠物和帐号。</source>
        <translation>Game database query tool: searches a game server&apos;s items, pets and accounts in its windows.</translation>
    </message>
    <message>
        <source>用法：%1 [选项]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>%1 是桌面程序，需要显示器（DISPLAY 或 WAYLAND_DISPLAY）。
realmquery-cli 不需要显示器，也能运行同样的查询。</source>
        <translation>%1 is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY).
realmquery-cli runs the same searches without one.</translation>
    </message>
</context>
<context>
    <name>realm::ui::UserSettings</name>
    <message>
        <source>窗口位置文件 %1 不是普通文件或过大，程序不读取也不写入它。</source>
        <translation>The window position file %1 is not a regular file or is too large; it is neither read nor written.</translation>
    </message>
</context>
<context>
    <name>realm::ui::Worksheet</name>
    <message>
        <source>已复制 %1 行</source>
        <translation>Copied %1 rows</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>连同标题复制</source>
        <translation>Copy with header</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>复制单元格</source>
        <translation>Copy cell</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导出失败</source>
        <translation>Export failed</translation>
    </message>
    <message>
        <source>正在导出 %1 行…</source>
        <translation>Exporting %1 rows…</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>realm::IniFile</name>
    <message>
        <source>设置文件 %1 中没有 [%2] 节。</source>
        <translation>The settings file %1 has no section [%2].</translation>
    </message>
    <message>
        <source>设置文件 %1 是 UTF-16 文本，请另存为 GBK 或 UTF-8。</source>
        <translation>The settings file %1 is UTF-16 text; save it as GBK or UTF-8.</translation>
    </message>
    <message>
        <source>无法读取设置文件 %1：%2。</source>
        <translation>The settings file %1 cannot be read: %2.</translation>
    </message>
    <message>
        <source>设置文件 %1 大于 %2 MB，未读取。</source>
        <translation>The settings file %1 is larger than %2 MB; it is not read.</translation>
    </message>
    <message>
        <source>设置文件 %1 不是普通文件（而是管道、设备或套接字），未读取。</source>
        <translation>The settings file %1 is not a regular file (but a pipe, a device or a socket); it is not read.</translation>
    </message>
    <message>
        <source>设置文件 %1 是一个文件夹。</source>
        <translation>The settings file %1 is a folder.</translation>
    </message>
    <message>
        <source>设置文件 %1 不存在。</source>
        <translation>The settings file %1 does not exist.</translation>
    </message>
</context>
<context>
    <name>realm::ResultTable</name>
    <message>
        <source>%1 个字符的文本值超过了结果能容纳的长度（%2）。</source>
        <translation>A text value of %1 characters is longer than a result can hold (%2).</translation>
    </message>
</context>
<context>
    <name>realm::BoundColumns</name>
    <message>
        <source>服务器给列 %1 发来的文本长于它声明的 %2 个字符。</source>
        <translation>The server sent column %1 a text longer than the %2 characters it declared.</translation>
    </message>
</context>
<context>
    <name>realm::Startup</name>
    <message>
        <source>找不到文件夹 %1。</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
</context>
<context>
    <name>realm::ui::RowOrderModel</name>
    <message>
        <source>第 %1 行</source>
        <translation>Row %1</translation>
    </message>
</context>
<context>
    <name>realm::Servers</name>
    <message>
        <source>%1 %2 行</source>
        <translation>%1 %2 rows</translation>
    </message>
    <message>
        <source>%1 超时</source>
        <translation>%1 timed out</translation>
    </message>
    <message>
        <source>%1 无法连接</source>
        <translation>%1 unreachable</translation>
    </message>
    <message>
        <source>%1 登录被拒绝</source>
        <translation>%1 login refused</translation>
    </message>
    <message>
        <source>%1 设置有误</source>
        <translation>%1 settings wrong</translation>
    </message>
    <message>
        <source>%1 出错（%2）</source>
        <translation>%1 error (%2)</translation>
    </message>
    <message>
        <source>%1 已停止</source>
        <translation>%1 stopped</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>realm::ui::ServerChooser</name>
    <message>
        <source>全部服务器</source>
        <translation>All servers</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>all</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>服务器：%1</source>
        <translation>Servers: %1</translation>
    </message>
</context>
<context>
    <name>realm::ui::RowListModel</name>
    <message>
        <source>服务器</source>
        <translation>Server</translation>
    </message>
</context>
</TS>
