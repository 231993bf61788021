<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BackupOffer</name>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>系统检查到有未保存的备份文件，是否继续编辑？</source>
        <translation>The system has detected unsaved backup files. Do you want to continue editing?</translation>
    </message>
    <message>
        <source>有 %1 个未保存的备份。选择一个在这个窗口中继续编辑；其余的留在备份文件夹中，下一个新窗口会再次提供。</source>
        <translation>There are %1 unsaved backups. Choose one to continue editing in this window; the others stay in the backup folder and are offered again by the next new window.</translation>
    </message>
</context>
<context>
    <name>BackupManager</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>不能写入备份文件夹 %1：未保存的修改现在没有备份</source>
        <translation>Cannot write to the backup folder %1: unsaved changes are not being backed up</translation>
    </message>
    <message>
        <source>备份管理</source>
        <translation>Backup manager</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>创建时间</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>确实要删除吗?</source>
        <translation>Delete this backup?</translation>
    </message>
    <message>
        <source>备份预览</source>
        <translation>Backup preview</translation>
    </message>
</context>
<context>
    <name>BackupPreview</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
</context>
<context>
    <name>CloseWait</name>
    <message>
        <source>正在完成保存，完成后关闭窗口……</source>
        <translation>Finishing the save; the window closes when it is done…</translation>
    </message>
    <message>
        <source>不再等待</source>
        <translation>Stop waiting</translation>
    </message>
</context>
<context>
    <name>PageBridge</name>
    <message>
        <source>已拒绝打开地址：%1</source>
        <translation>Refused to open the address: %1</translation>
    </message>
</context>
<context>
    <name>DialogLicense</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>无法生成文档</source>
        <translation>Could not build the document</translation>
    </message>
</context>
<context>
    <name>exporting::Exporter</name>
    <message>
        <source>导出HTML文件</source>
        <translation>Export HTML file</translation>
    </message>
    <message>
        <source>HTML文件(*.html)</source>
        <translation>HTML file(*.html)</translation>
    </message>
    <message>
        <source>导出PDF文件</source>
        <translation>Export PDF file</translation>
    </message>
    <message>
        <source>Pdf文件(*.pdf)</source>
        <translation>Pdf file(*.pdf)</translation>
    </message>
    <message>
        <source>导出Word文件</source>
        <translation>Export Word file</translation>
    </message>
    <message>
        <source>Word文件(*.docx)</source>
        <translation>Word file(*.docx)</translation>
    </message>
    <message>
        <source>导出ODT文件</source>
        <translation>Export ODT file</translation>
    </message>
    <message>
        <source>ODT文件(*.odt)</source>
        <translation>ODT file(*.odt)</translation>
    </message>
    <message>
        <source>导出成功</source>
        <translation>Export success</translation>
    </message>
    <message>
        <source>不能导出文件 %1: %2</source>
        <translation>Cannot export file %1: %2</translation>
    </message>
    <message>
        <source>编辑页面没有返回内容</source>
        <translation>the editing page returned no content</translation>
    </message>
    <message>
        <source>编辑页面没有生成PDF</source>
        <translation>the editing page produced no PDF</translation>
    </message>
    <message>
        <source>导出失败</source>
        <translation>Export failed</translation>
    </message>
    <message>
        <source>打印成功</source>
        <translation>print success</translation>
    </message>
    <message>
        <source>打印失败</source>
        <translation>Print failed</translation>
    </message>
</context>
<context>
    <name>FileKind</name>
    <message>
        <source>它不是普通文件，而是设备、管道或套接字</source>
        <translation>it is not a regular file but a device, a pipe or a socket</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>[未保存]</source>
        <translation>[Not saved]</translation>
    </message>
    <message>
        <source>不能打开文件 %1: %2</source>
        <translation>Cannot open file %1: %2</translation>
    </message>
    <message>
        <source>文件 %1 不是 UTF-8 文本，已按 %2 编码读取，保存时仍以该编码存储。</source>
        <translation>The file %1 is not UTF-8 text: it was read as %2 and is saved in that encoding.</translation>
    </message>
    <message>
        <source>文件 %1 含有 %2 编码不能存储的字符，已改以 UTF-8 保存。</source>
        <translation>The file %1 holds characters that %2 cannot store: it was saved as UTF-8.</translation>
    </message>
    <message>
        <source>编辑页面没有返回内容</source>
        <translation>the editing page returned no content</translation>
    </message>
    <message>
        <source>不能保存文件 %1: %2</source>
        <translation>Cannot save file %1: %2</translation>
    </message>
    <message>
        <source>备份文件已损坏，请查看备份管理。</source>
        <translation>The backup file is corrupted. Please check the backup management.</translation>
    </message>
    <message>
        <source>不能写入备份文件夹 %1：未保存的修改现在没有备份</source>
        <translation>Cannot write to the backup folder %1: unsaved changes are not being backed up</translation>
    </message>
    <message>
        <source>文件 %1 已在磁盘上被删除或移走</source>
        <translation>The file %1 was deleted or moved on disk</translation>
    </message>
    <message>
        <source>文件 %1 已被其他程序修改，已重新载入</source>
        <translation>The file %1 was changed by another program and has been reloaded</translation>
    </message>
    <message>
        <source>备份成功</source>
        <translation>Backup saved</translation>
    </message>
    <message>
        <source>备份已删除</source>
        <translation>Backup deleted</translation>
    </message>
</context>
<context>
    <name>FindReplaceBar</name>
    <message>
        <source>查找内容</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>替换为</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>查找上一个</source>
        <translation>Find Previous</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>替换全部</source>
        <translation>Replace All</translation>
    </message>
</context>
<context>
    <name>ImageDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>链接:(支持本地路径或者网络URL)</source>
        <translation>Link: (Supports local paths or network URLs)</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>选择图片</source>
        <translation>Choose Image</translation>
    </message>
    <message>
        <source>不是合法的图片路径</source>
        <translation>Not a valid image path</translation>
    </message>
    <message>
        <source>插入图片</source>
        <translation>Insert image</translation>
    </message>
</context>
<context>
    <name>ImageStore</name>
    <message>
        <source>剪贴板上的图片无法读取</source>
        <translation>The image on the clipboard cannot be read</translation>
    </message>
    <message>
        <source>不能建立图片文件夹 %1</source>
        <translation>Cannot create the image folder %1</translation>
    </message>
    <message>
        <source>不能复制图片 %1: %2</source>
        <translation>Cannot copy the image %1: %2</translation>
    </message>
    <message>
        <source>不能保存图片 %1: %2</source>
        <translation>Cannot save the image %1: %2</translation>
    </message>
</context>
<context>
    <name>LinkDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>设置超链接</source>
        <translation>Set link</translation>
    </message>
    <message>
        <source>文本:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>链接:</source>
        <translation>Link:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>不是合法的URL</source>
        <translation>Not a valid URL</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>粘贴的图片保存在文档旁边的文件夹里，所以要先保存文档。现在保存吗？</source>
        <translation>Pasted images are kept in a folder next to the document, so the document must be saved first. Save it now?</translation>
    </message>
    <message>
        <source>图片没有粘贴：文档还没有保存</source>
        <translation>The image was not pasted: the document is not saved</translation>
    </message>
    <message>
        <source>这些图片没能带到新文件夹，在那里不能显示：
%1</source>
        <translation>These images could not be taken along to the new folder and will not show there:
%1</translation>
    </message>
    <message>
        <source>Veltrane</source>
        <translation>Veltrane</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>new</translation>
    </message>
    <message>
        <source>新建文件</source>
        <translation>new file</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>新建窗口</source>
        <translation>new window</translation>
    </message>
    <message>
        <source>Ctrl+Shift+N</source>
        <translation>Ctrl+Shift+N</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>open</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>open file</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>save</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>save file</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>save as</translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation>Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>HTML</source>
        <translation>HTML</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Word (*.docx)</source>
        <translation>Word (*.docx)</translation>
    </message>
    <message>
        <source>OpenDocument (*.odt)</source>
        <translation>OpenDocument (*.odt)</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>print</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>close</translation>
    </message>
    <message>
        <source>关闭文件</source>
        <translation>close file</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>undo</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>restore</translation>
    </message>
    <message>
        <source>Ctrl+Y</source>
        <translation>Ctrl+Y</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>copy</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>cut</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>paste</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>delete</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>select all</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>find</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>replace</translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation>Ctrl+H</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>setting</translation>
    </message>
    <message>
        <source>备份</source>
        <translation>backup</translation>
    </message>
    <message>
        <source>处理备份文件</source>
        <translation>Handle backup files</translation>
    </message>
    <message>
        <source>还原默认缩放</source>
        <translation>Restore default zoom</translation>
    </message>
    <message>
        <source>Ctrl+0</source>
        <translation>Ctrl+0</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>zoom out</translation>
    </message>
    <message>
        <source>Ctrl+-</source>
        <translation>Ctrl+-</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>zoom in</translation>
    </message>
    <message>
        <source>Ctrl++</source>
        <translation>Ctrl++</translation>
    </message>
    <message>
        <source>捐款</source>
        <translation>donate</translation>
    </message>
    <message>
        <source>反馈</source>
        <translation>feedback</translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation>change log</translation>
    </message>
    <message>
        <source>关于我们</source>
        <translation>about us</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Licenses</translation>
    </message>
    <message>
        <source>保存工具栏</source>
        <translation>save toolbar</translation>
    </message>
    <message>
        <source>save</source>
        <translation>save</translation>
    </message>
    <message>
        <source>新建工具栏</source>
        <translation>new toolbar</translation>
    </message>
    <message>
        <source>new</source>
        <translation>new</translation>
    </message>
    <message>
        <source>撤销工具栏</source>
        <translation>undo toolbar</translation>
    </message>
    <message>
        <source>undo</source>
        <translation>undo</translation>
    </message>
    <message>
        <source>恢复工具栏</source>
        <translation>redo toolbar</translation>
    </message>
    <message>
        <source>redo</source>
        <translation>redo</translation>
    </message>
    <message>
        <source>加粗</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>删除线</source>
        <translation>Strike</translation>
    </message>
    <message>
        <source>引用</source>
        <translation>Quot</translation>
    </message>
    <message>
        <source>H1</source>
        <translation>H1</translation>
    </message>
    <message>
        <source>h1</source>
        <translation>h1</translation>
    </message>
    <message>
        <source>H2</source>
        <translation>H2</translation>
    </message>
    <message>
        <source>h2</source>
        <translation>h2</translation>
    </message>
    <message>
        <source>H3</source>
        <translation>H3</translation>
    </message>
    <message>
        <source>h3</source>
        <translation>h3</translation>
    </message>
    <message>
        <source>H4</source>
        <translation>H4</translation>
    </message>
    <message>
        <source>h4</source>
        <translation>h4</translation>
    </message>
    <message>
        <source>H5</source>
        <translation>H5</translation>
    </message>
    <message>
        <source>h5</source>
        <translation>h5</translation>
    </message>
    <message>
        <source>H6</source>
        <translation>H6</translation>
    </message>
    <message>
        <source>h6</source>
        <translation>h6</translation>
    </message>
    <message>
        <source>有序列表</source>
        <translation>Order line</translation>
    </message>
    <message>
        <source>无序列表</source>
        <translation>UnOrder Line</translation>
    </message>
    <message>
        <source>水平线</source>
        <translation>HoriLine</translation>
    </message>
    <message>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>行内代码</source>
        <translation>Inline Code</translation>
    </message>
    <message>
        <source>代码块</source>
        <translation>CodeBlock</translation>
    </message>
    <message>
        <source>链接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>去除链接</source>
        <translation>Unlink</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>清除样式</source>
        <translation>clear style</translation>
    </message>
    <message>
        <source>最近打开</source>
        <translation>open recently</translation>
    </message>
    <message>
        <source> 词</source>
        <translation> words</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>Saved successfully</translation>
    </message>
    <message>
        <source>主题</source>
        <translation>Theme</translation>
    </message>
    <message>
        <source>浅色</source>
        <translation>light</translation>
    </message>
    <message>
        <source>深色</source>
        <translation>dark</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>缩放比例%1%</source>
        <translation>Zoom %1%</translation>
    </message>
    <message>
        <source>当前文件还没保存，是否放弃？</source>
        <translation>The current file has not been saved. Do you want to discard it?</translation>
    </message>
    <message>
        <source>打开Markdown文件</source>
        <translation>Open Markdown file</translation>
    </message>
    <message>
        <source>MarkDown文件 (*.md)</source>
        <translation>Markdown file (*.md)</translation>
    </message>
    <message>
        <source>保存MarkDown文件</source>
        <translation>Save Markdown file</translation>
    </message>
    <message>
        <source>MarkDown File (*.md)</source>
        <translation>MarkDown File (*.md)</translation>
    </message>
    <message>
        <source>设置表格</source>
        <translation>Insert table</translation>
    </message>
    <message numerus="yes">
        <source>%n 词</source>
        <translation>
            <numerusform>%n word</numerusform>
            <numerusform>%n words</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ModeSwitch</name>
    <message>
        <source>切换可见即可得模式</source>
        <translation>Switch to visible-only mode</translation>
    </message>
    <message>
        <source>切换源码模式</source>
        <translation>Switch to source code mode</translation>
    </message>
    <message>
        <source>编辑页面没有返回内容，无法切换到源码模式</source>
        <translation>The editing page returned no content; staying in WYSIWYG mode</translation>
    </message>
</context>
<context>
    <name>PageSurface</name>
    <message>
        <source>文档没有完整地传入编辑页面：页面中没有内容，也不能从这里保存</source>
        <translation>The document did not fully reach the editing page: the page holds no content and cannot be saved from here</translation>
    </message>
    <message>
        <source>粘贴操作</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>拖入的图片要保存在文档旁边，请先保存文档</source>
        <translation>A dropped image is kept next to the document: save the document first</translation>
    </message>
    <message>
        <source>代码块语言</source>
        <translation>Code block language</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>default</translation>
    </message>
    <message>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>上方插入行</source>
        <translation>Insert above</translation>
    </message>
    <message>
        <source>下方插入行</source>
        <translation>Insert below</translation>
    </message>
    <message>
        <source>左边插入列</source>
        <translation>Insert column to the left</translation>
    </message>
    <message>
        <source>右边插入列</source>
        <translation>Insert column to the right</translation>
    </message>
    <message>
        <source>删除当前行</source>
        <translation>Delete current row</translation>
    </message>
    <message>
        <source>删除当前列</source>
        <translation>Delete current column</translation>
    </message>
    <message>
        <source>上移当前行</source>
        <translation>Move the current line up</translation>
    </message>
    <message>
        <source>下移当前行</source>
        <translation>Move the current line down</translation>
    </message>
    <message>
        <source>左移当前列</source>
        <translation>Move the current column to the left</translation>
    </message>
    <message>
        <source>右移当前列</source>
        <translation>Move the current column to the right</translation>
    </message>
    <message>
        <source>左对齐当前列</source>
        <translation>Align left</translation>
    </message>
    <message>
        <source>居中对齐当前列</source>
        <translation>Center align</translation>
    </message>
    <message>
        <source>右对齐当前列</source>
        <translation>Align right</translation>
    </message>
    <message>
        <source>删除表格</source>
        <translation>Delete table</translation>
    </message>
    <message>
        <source>代码块</source>
        <translation>CodeBlock</translation>
    </message>
    <message>
        <source>链接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Image</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>明白</source>
        <translation>i see</translation>
    </message>
    <message>
        <source>不能先保留原文件的副本，没有写入任何内容</source>
        <translation>No copy of the old content could be kept first, so nothing was written</translation>
    </message>
    <message>
        <source>（原来的内容保存在 %1）</source>
        <translation>(the old content is kept in %1)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>%1 已存在，是否替换？</source>
        <translation>%1 already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>文件 %1 已被其他程序修改。保留这里的修改（保存时覆盖磁盘上的版本），还是载入磁盘上的版本（放弃这里的修改）？</source>
        <translation>The file %1 was changed by another program. Keep the changes made here (saving writes over the version on disk), or load the version on disk (the changes made here are dropped)?</translation>
    </message>
    <message>
        <source>保留我的修改</source>
        <translation>Keep my changes</translation>
    </message>
    <message>
        <source>载入磁盘上的版本</source>
        <translation>Load the version on disk</translation>
    </message>
</context>
<context>
    <name>SettingDialog</name>
    <message>
        <source>跟随主题</source>
        <translation>follow the palette</translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>english</translation>
    </message>
    <message>
        <source>启动选项</source>
        <translation>Startup option</translation>
    </message>
    <message>
        <source>创建一个空白文档</source>
        <translation>Create a blank document</translation>
    </message>
    <message>
        <source>打开最近一次关闭的文档</source>
        <translation>Reopen the most recently closed document</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>image</translation>
    </message>
    <message>
        <source>保留图片地址</source>
        <translation>image save location</translation>
    </message>
    <message>
        <source>复制图片到./${filename}.assets文件夹</source>
        <translation>save image to./${filename}.assets folder</translation>
    </message>
    <message>
        <source>自动备份</source>
        <translation>auto backup</translation>
    </message>
    <message>
        <source>编辑器样式</source>
        <translation>editor style</translation>
    </message>
    <message>
        <source>页面缩放</source>
        <translation>page zoom</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>源码框字号</source>
        <translation>editor font size</translation>
    </message>
</context>
<context>
    <name>SourceSurface</name>
    <message>
        <source>拖入的图片要保存在文档旁边，请先保存文档</source>
        <translation>A dropped image is kept next to the document: save the document first</translation>
    </message>
</context>
<context>
    <name>TableDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>行</source>
        <translation>row</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>列</source>
        <translation>column</translation>
    </message>
</context>
<context>
    <name>AboutDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>是一个可见即可得的Markdown编辑工具。用户可以使用它来编写文档，并且支持导出PDF等功能。</source>
        <translation> is a WYSIWYG Markdown editor. Use it to write documents and export them as PDF and more.</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>SourceSurface</name>
    <message>
        <source>图片ALT</source>
        <translation>image</translation>
    </message>
</context>
</TS>
