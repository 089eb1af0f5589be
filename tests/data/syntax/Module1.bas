Attribute VB_Name = "Module1"
' 表示用モジュール
Option Explicit

Private Const MAX_COUNT As Integer = 100
Dim strName As String   ' 名前
REM 古い形式のコメント
rem lower-case rem
Public Function GetTitle(ByVal n As Long) As String
    If n > 0 Then
        GetTitle = "表示 ' not a comment"
    ElseIf n = 0 Then
        GetTitle = "能" & "x"
    Else
        GetTitle = Left$(strName, 3) & Chr(13) & _
            "続き"
    End If
    harem = 1: x = harem + 2
End Function

Sub Main()
    DIM i As integer
    For i = 1 To 10 Step 2
        Debug.Print i * 1.5
    Next i
    MsgBox "完了", vbOKOnly
End Sub
